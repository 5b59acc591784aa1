// GEDCOM commands of the file menu: export the genealogy to a .ged file, and
// import one line of a .ged file in place of the open genealogy.
//
// A GEDCOM file of two million people takes seconds to read or write, so the
// work runs as long work (mainwindow/LongWork.h): the window keeps painting,
// the user's input waits until it is done, since the genealogy being written
// must not change under the writer.
#include "dialogs/CGedcomRootDlg.h"
#include "dialogs/CImportReportDlg.h"
#include "document/AtomicSaveFile.h"
#include "formats/FormatRegistry.h"
#include "formats/gedcom/Gedcom.h"
#include "formats/io/FileBytes.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/LongWork.h"
#include "platform/MessageBoxes.h"
#include "platform/Shell.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include <functional>
#include <string_view>

namespace {

QString ImportErrorText(const gedcom::GedcomResult& result) {
  switch (result.error) {
    case gedcom::GedcomError::kNotText:
      return CClanbookDlg::tr("文件内容不是所声明编码的文本");
    case gedcom::GedcomError::kNotGedcom:
      return CClanbookDlg::tr("这不是GEDCOM文件（文件应以“0 HEAD”开头）");
    case gedcom::GedcomError::kNoPeople:
      return CClanbookDlg::tr("文件中没有任何人（INDI记录）");
    case gedcom::GedcomError::kUnknownRoot:
      return CClanbookDlg::tr("文件中没有所选的始祖");
    case gedcom::GedcomError::kNoRoot:
      return CClanbookDlg::tr("文件中每个人都有父母，找不到始祖");
    case gedcom::GedcomError::kNoMemory:
      return CClanbookDlg::tr("内存不足");
    case gedcom::GedcomError::kNone:
      break;
  }
  return {};
}

void ShowImportFailure(const QString& fileName, const gedcom::GedcomResult& result) {
  const QString reason = ImportErrorText(result);
  ShowNotice(result.line ? CClanbookDlg::tr("无法导入%1：%2（第 %3 行）。")
                               .arg(fileName, reason, QString::number(result.line))
                         : CClanbookDlg::tr("无法导入%1：%2。").arg(fileName, reason));
}

// The file dialogs' patterns and the end of a GEDCOM file's name, as the
// format registry gives them.
QString GedcomPatterns(bool upperCaseToo) {
  return QString::fromStdString(formats::NamePatterns(formats::FormatId::kGedcom, upperCaseToo));
}
QString GedcomSuffix() {
  return u'.' + QString::fromUtf8(formats::FormatOf(formats::FormatId::kGedcom).suffix);
}

// Runs `use` on the whole of the file `fileName`, read as every reader reads
// a file; false when it cannot be read.
bool WithFileBytes(const QString& fileName, const std::function<void(std::string_view)>& use) {
  return fileio::ReadFileBytes(FilePathOf(fileName),
                               [&use](std::string_view bytes, const ReadProgress&) {
                                 use(bytes);
                                 return FileStatus{};
                               })
      .Ok();
}

}  // namespace

void CClanbookDlg::InstallGedcomCommands() {
  QAction* exit = m_actions[ID_EXIT];
  AddMenuCommand(
      m_fileMenu, tr("导入GEDCOM…"), QStringLiteral("gedcomImport"),
      [this] { ImportGedcom(QString()); }, {}, exit);
  AddMenuCommand(
      m_fileMenu, tr("导出GEDCOM…"), QStringLiteral("gedcomExport"), [this] { OnExportGedcom(); },
      {}, exit);
}

void CClanbookDlg::OnExportGedcom() {
  if (!m_document.Root()) {
    ShowNotice(tr("家谱是空的，没有可导出的内容!"));
    return;
  }
  const QString patterns = GedcomPatterns(false);
  const QString filter70 = tr("GEDCOM 7.0 (%1)").arg(patterns);
  const QString filter551 = tr("GEDCOM 5.5.1 (%1)").arg(patterns);
  QString chosenFilter = filter70;
  FileDialogRequest request;
  request.open = false;
  request.filter = filter70 + QStringLiteral(";;") + filter551;
  request.selectedFilter = &chosenFilter;
  QString fileName = RunFileDialog(this, request);
  if (fileName.isEmpty()) return;
  const gedcom::GedcomVersion version =
      chosenFilter == filter551 ? gedcom::GedcomVersion::v5_5_1 : gedcom::GedcomVersion::v7_0;
  if (const QString suffix = GedcomSuffix(); !fileName.endsWith(suffix, Qt::CaseInsensitive)) {
    fileName += suffix;
    // The file dialog asked about the name as typed, not about this one.
    if (QFileInfo::exists(fileName) &&
        !AskQuestion(this, tr("导出GEDCOM"), tr("%1 已存在。\n要替换它吗?").arg(fileName)))
      return;
  }

  // The export would be all that is left of the book.
  if (OutputIsInput(fileName, {m_document.FileName()})) {
    ShowNotice(OutputIsBookText(fileName));
    return;
  }

  FileStatus status;
  if (RunLongWork(this, tr("正在导出GEDCOM文件…"), false, [&](WorkProgress&) {
        status = gedcom::WriteGedcomFile(m_document.Genealogy(), version, FilePathOf(fileName));
      }) != WorkOutcome::Finished)
    return;
  if (!status.Ok())
    ShowNotice(tr("GEDCOM文件%1无法保存：%2!").arg(fileName, WriteProblemReason(status.problem)));
}

void CClanbookDlg::ImportGedcom(const QString& dropped) {
  // An import given up below leaves the genealogy, and whether it is saved,
  // as a cancelled Open does.
  if (!m_files.OfferToSave()) return;

  QString fileName = dropped;
  if (fileName.isEmpty()) {
    FileDialogRequest request;
    request.open = true;
    request.filter = tr("GEDCOM文件 (%1);;All Files(*)").arg(GedcomPatterns(true));
    fileName = RunFileDialog(this, request);
  }
  if (fileName.isEmpty()) return;

  // The file is read twice, for the roots and for the import, and never
  // stands whole in memory beside the genealogy made of it.
  bool readable = false;
  std::vector<gedcom::GedcomRootCandidate> candidates;
  gedcom::GedcomResult listed;
  if (RunLongWork(this, tr("正在读取GEDCOM文件…"), false, [&](WorkProgress&) {
        readable = WithFileBytes(fileName, [&](std::string_view bytes) {
          listed = gedcom::ListRootCandidates(bytes, candidates);
        });
      }) != WorkOutcome::Finished)
    return;
  if (!readable) {
    ShowNotice(tr("文件无法打开!"));
    return;
  }
  if (!listed) {
    ShowImportFailure(fileName, listed);
    return;
  }

  gedcom::GedcomImportOptions options;
  if (!candidates.empty()) {
    CGedcomRootDlg chooser(candidates, this);
    if (chooser.DoModal() != IDOK) return;
    options.rootXref = chooser.m_rootXref;
  }

  COperationClanbook imported;
  gedcom::GedcomImportReport report;
  gedcom::GedcomResult read;
  if (RunLongWork(this, tr("正在导入GEDCOM文件…"), false, [&](WorkProgress&) {
        readable = WithFileBytes(fileName, [&](std::string_view bytes) {
          read = gedcom::ReadGedcom(bytes, options, imported, report);
        });
      }) != WorkOutcome::Finished)
    return;
  if (!readable) {
    ShowNotice(tr("文件无法打开!"));
    return;
  }
  if (!read) {
    ShowImportFailure(fileName, read);
    return;
  }

  m_document.Replace(std::move(imported));
  ShowTodaysBirthdays();
  EnableMemberButtons(true);
  CImportReportDlg reportDialog(report, this);
  reportDialog.SetSourceFile(fileName);
  reportDialog.DoModal();
}
