// GEDCOM commands of the file menu: export the genealogy to a .ged file or a
// GEDZIP (.gdz, the .ged and the pictures in one archive), and import one
// line of either in place of the open genealogy.
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
#include "formats/gedcom/GedzipFormat.h"
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
QString Patterns(formats::FormatId id, bool upperCaseToo) {
  return QString::fromStdString(formats::NamePatterns(id, upperCaseToo));
}
QString Suffix(formats::FormatId id) {
  return u'.' + QString::fromUtf8(formats::FormatOf(id).suffix);
}

bool IsGedzip(const QString& fileName) {
  const formats::FormatEntry* entry = formats::FormatOfFile(FilePathOf(fileName).string());
  return entry && entry->id == formats::FormatId::kGedzip;
}

// A GEDZIP that could not be read: why, as for a book file.
void ShowArchiveFailure(const QString& fileName, FileProblem problem) {
  QString reason = GenealogyDocument::BookProblemText(problem);
  if (reason.isEmpty()) reason = ImportErrorText({gedcom::GedcomError::kNoMemory, 0, {}});
  ShowNotice(CClanbookDlg::tr("无法导入%1：%2。").arg(fileName, reason));
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
  const QString patterns = Patterns(formats::FormatId::kGedcom, false);
  const QString filter70 = tr("GEDCOM 7.0 (%1)").arg(patterns);
  const QString filter551 = tr("GEDCOM 5.5.1 (%1)").arg(patterns);
  const QString filterZip =
      tr("GEDZIP：GEDCOM 7.0 与照片 (%1)").arg(Patterns(formats::FormatId::kGedzip, false));
  QString chosenFilter = filter70;
  FileDialogRequest request;
  request.open = false;
  request.filter = filter70 + QStringLiteral(";;") + filter551 + QStringLiteral(";;") + filterZip;
  request.selectedFilter = &chosenFilter;
  QString fileName = RunFileDialog(this, request);
  if (fileName.isEmpty()) return;
  const gedcom::GedcomVersion version =
      chosenFilter == filter551 ? gedcom::GedcomVersion::v5_5_1 : gedcom::GedcomVersion::v7_0;
  // A name typed with .gdz asks for the archive whichever filter was shown.
  const bool zipped = chosenFilter == filterZip || IsGedzip(fileName);
  if (const QString suffix =
          Suffix(zipped ? formats::FormatId::kGedzip : formats::FormatId::kGedcom);
      !fileName.endsWith(suffix, Qt::CaseInsensitive)) {
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
  std::size_t leftOut = 0;
  if (RunLongWork(this, tr("正在导出GEDCOM文件…"), false, [&](WorkProgress&) {
        if (!zipped) {
          status = gedcom::WriteGedcomFile(m_document.Genealogy(), version, FilePathOf(fileName));
          return;
        }
        formats::GedzipFormat format;
        // The pictures of a .cbk are read from it as they are written.
        format.photos = [this](const Photo& photo, std::string& bytes) {
          const QByteArray read = m_document.PhotoBytes(photo);
          bytes.assign(read.constData(), static_cast<std::size_t>(read.size()));
          return !read.isEmpty();
        };
        format.leftOut = [&leftOut](const gedcom::MediaItem&) { ++leftOut; };
        status = formats::WriteFile(format, m_document.Genealogy(), FilePathOf(fileName));
      }) != WorkOutcome::Finished)
    return;
  if (!status.Ok())
    ShowNotice(tr("GEDCOM文件%1无法保存：%2!").arg(fileName, WriteProblemReason(status.problem)));
  else if (leftOut)
    ShowNotice(
        tr("%1 已保存，但其中缺少 %2 张无法读取的照片。").arg(fileName, QString::number(leftOut)));
}

void CClanbookDlg::ImportGedcom(const QString& dropped) {
  // An import given up below leaves the genealogy, and whether it is saved,
  // as a cancelled Open does.
  if (!m_files.OfferToSave()) return;

  QString fileName = dropped;
  if (fileName.isEmpty()) {
    FileDialogRequest request;
    request.open = true;
    request.filter = tr("GEDCOM文件 (%1);;All Files(*)")
                         .arg(Patterns(formats::FormatId::kGedcom, true) + u' ' +
                              Patterns(formats::FormatId::kGedzip, true));
    fileName = RunFileDialog(this, request);
  }
  if (fileName.isEmpty()) return;

  // The file is read twice, for the roots and for the import, and never
  // stands whole in memory beside the genealogy made of it. A GEDZIP's
  // gedcom.ged is inflated each time; its pictures only for the import.
  const bool zipped = IsGedzip(fileName);
  bool readable = false;
  FileProblem archive = FileProblem::kNone;
  std::vector<gedcom::GedcomRootCandidate> candidates;
  gedcom::GedcomResult listed;
  if (RunLongWork(this, tr("正在读取GEDCOM文件…"), false, [&](WorkProgress&) {
        readable = WithFileBytes(fileName, [&](std::string_view bytes) {
          std::string text;
          if (zipped && (archive = formats::GedzipText(bytes, text)) != FileProblem::kNone) return;
          listed = gedcom::ListRootCandidates(zipped ? std::string_view(text) : bytes, candidates);
        });
      }) != WorkOutcome::Finished)
    return;
  if (!readable) {
    ShowNotice(tr("文件无法打开!"));
    return;
  }
  if (archive != FileProblem::kNone) {
    ShowArchiveFailure(fileName, archive);
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
          if (!zipped) {
            read = gedcom::ReadGedcom(bytes, options, imported, report);
            return;
          }
          formats::GedzipFormat format;
          format.options = options;
          archive = format.Read(bytes, imported, {}).problem;
          read = format.Result();
          report = format.Report();
        });
      }) != WorkOutcome::Finished)
    return;
  if (!readable) {
    ShowNotice(tr("文件无法打开!"));
    return;
  }
  if (read && archive != FileProblem::kNone) {
    ShowArchiveFailure(fileName, archive);
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
