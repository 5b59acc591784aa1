// 修谱: a branch of the clan book taken away as a book of its own, and brought
// back after a review, as one edit that undo takes back whole.
#include "dialogs/CFileOpenAndSaveDlg.h"
#include "dialogs/CMergeReviewDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/FileProblemTexts.h"

#include "document/AtomicSaveFile.h"
#include "formats/FormatRegistry.h"
#include "formats/FtfFormat.h"
#include "mainwindow/LongWork.h"
#include "merge/BranchExport.h"
#include "merge/BranchMerge.h"
#include "platform/MessageBoxes.h"

#include <QFile>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace {

// A branch comes in any format the registry reads, found by the end of the
// file's name; any other name is read as the program's own .ftf. A GEDCOM
// file brings in the line the import would by default: the one with the most
// members. Every reader fills a fresh genealogy, so the plan and the review
// never learn where a branch came from.
int ReadBranch(const QString& fileName, COperationClanbook& out) {
  const formats::FormatEntry* entry = formats::FormatOfFile(fileName.toStdString());
  const std::unique_ptr<formats::FileFormat> format =
      formats::MakeFormat(entry && entry->reads ? entry->id : formats::FormatId::kFtf);
  const FileStatus status = formats::ReadFile(*format, FilePathOf(fileName), out);
  // A GEDCOM file that cannot be imported is one the branch cannot open.
  if (entry && entry->id == formats::FormatId::kGedcom && !status.Ok()) return kFileCannotOpen;
  return status.code;
}

QString Title() {
  return CClanbookDlg::tr("修谱");
}

}  // namespace

void CClanbookDlg::InstallBranchCommands() {
  AddMenuCommand(
      m_fileMenu, tr("合并支谱…"), QStringLiteral("mergeBranch"), [this] { OnMergeBranch(); }, {},
      m_actions[ID_EXIT]);
  AddMenuCommand(m_bookMenu, tr("导出支谱…"), QStringLiteral("exportBranch"),
                 [this] { OnExportBranch(); });
}

void CClanbookDlg::OnExportBranch() {
  const MemberNode* top = SelectedMember();
  if (!top) {
    ShowNotice(tr("请先在家谱树中选择一个成员!"));
    return;
  }
  const std::optional<QString> fileName = BookFiles::AskFileName(this, false);
  if (!fileName) return;
  // The open book's file holds more than the branch: writing the branch over
  // it would lose everyone else the moment the book is closed unsaved.
  if (OutputIsInput(*fileName, {m_document.FileName()})) {
    ShowNotice(tr("支谱不能保存到正在编辑的家谱文件%1中!").arg(*fileName));
    return;
  }
  COperationClanbook branch;
  FileStatus saved;
  saved.code = kFileCannotWrite;
  saved.problem = FileProblem::kWriteFailed;
  if (RunLongWork(this, tr("正在导出支谱…"), false, [&](WorkProgress&) {
        ExtractBranch(m_document.Genealogy(), top, branch);
        saved = formats::SaveFtf(FilePathOf(*fileName), branch);
      }) != WorkOutcome::Finished)
    return;
  if (!saved.Ok()) {
    ShowNotice(ExportFailureText(saved, *fileName));
    return;
  }
  int members = branch.CountMembers();
  ShowInformation(
      this, Title(),
      tr("%1及其后代共 %2 人已导出为支谱%3。")
          .arg(QString::fromStdU16String(top->name), QString::number(members), *fileName));
}

void CClanbookDlg::OnMergeBranch() {
  const std::optional<QString> fileName = BookFiles::AskFileName(this, true);
  if (!fileName) return;
  COperationClanbook branch;
  bool read = false;
  MergePlan plan;
  if (RunLongWork(this, tr("正在读取支谱…"), false, [&](WorkProgress&) {
        read = ReadBranch(*fileName, branch) == kFileOk && branch.Root();
        if (read) plan = PlanMerge(m_document.Genealogy(), branch, MergeSide::Branch);
      }) != WorkOutcome::Finished)
    return;
  if (!read) {
    ShowNotice(tr("支谱文件%1无法读取，家谱未作改动。").arg(*fileName));
    return;
  }
  const QString root = QString::fromStdU16String(branch.Root()->name);
  if (!plan.Ok()) {
    ShowNotice(tr("家谱中没有支谱的始祖%1，无法合并，家谱未作改动。").arg(root));
    return;
  }
  if (plan.NothingToDo()) {
    ShowInformation(this, Title(), tr("支谱与家谱没有差别，无需合并。"));
    return;
  }
  // The review edits the plan; on 取消 the plan, renames and all, is dropped
  // with it and the next merge plans afresh.
  CMergeReviewDlg review(plan, m_document.Genealogy(), branch, this);
  if (review.DoModal() != IDOK) return;
  m_document.MergeBranch(MakeMergeChanges(plan, m_document.Genealogy()), root);
}
