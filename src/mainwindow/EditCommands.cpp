// The commands that change the genealogy: add a member (as a child or as the
// new root), change a member's data, delete a member with its descendants
// (undo and redo are the undo stack's own actions). Each hands what the user
// gave to the document, which refuses an edit that breaks a rule of the book
// and which the views follow; the window says why in the user's words.
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CDelInfoDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/CModifyNameDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/EditProblemTexts.h"
#include "platform/MessageBoxes.h"

namespace {

QString WarningTitle() {
  return CClanbookDlg::tr("警告");
}
// What the add dialog's father field holds for "no father: a new root".
const QString kRootFather = QStringLiteral("-1");

}  // namespace

int CClanbookDlg::AddMember(CAddInfoDlg& dialog) {
  // What the disabled death-date boxes hold is no death date.
  const MemberData record = EnteredData(MemberData{}, dialog.m_data);
  // The texts are judged before the father is looked for, so that a name the
  // book cannot take is refused first, as it always was; a name already
  // borne only the window refuses.
  if (const EditProblem problem = CheckNameAndAddress(m_document.Genealogy(), record, nullptr);
      problem != EditProblem::kNone) {
    ShowNotice(EditProblemText(problem, EditKind::Add));
    return 0;
  }

  MemberNode* father = nullptr;
  if (dialog.m_fatherName == kRootFather) {
    if (!AskQuestion(this, WarningTitle(), tr("确实要置此结点为根结点吗？"))) return 0;
  } else {
    // The member whose item was selected stays the father while the field
    // still names it, even when another member bears the same name.
    MemberNode* selected = dialog.m_selectedFather;
    if (selected && QString::fromStdU16String(selected->name) == dialog.m_fatherName)
      father = selected;
    else
      father = FindMember(dialog.m_fatherName);
    if (!father) {
      ShowNotice(tr("父亲结点没找到!"));
      return 0;
    }
  }

  if (const EditProblem problem = m_document.AddMember(father, record);
      problem != EditProblem::kNone) {
    ShowNotice(EditProblemText(problem, EditKind::Add));
    return 0;
  }
  return 1;
}

void CClanbookDlg::OnAddChild() {
  CAddInfoDlg dialog(this, this);
  if (!m_document.Root()) {
    dialog.m_fatherName = kRootFather;
  } else if (MemberNode* selected = SelectedMember()) {
    dialog.m_fatherName = QString::fromStdU16String(selected->name);
    dialog.m_selectedFather = selected;
    // With a 字辈 the child's name starts with the surname and the character
    // of his generation; the user writes the rest, or another name.
    dialog.m_data.name = m_poem.SuggestedNameOfChild(selected).toStdU16String();
  }
  // With nothing selected the father field stays empty for the user to fill.
  dialog.DoModal();
}

void CClanbookDlg::OnAddMember() {
  CAddInfoDlg dialog(this, this);
  dialog.DoModal();
}

void CClanbookDlg::ChangeMember(MemberNode* member) {
  CModifyInfoDlg dialog(this);
  // The dialog opens with the member's data, so that OK changes only what the
  // user changed; a living member's death date is not shown.
  dialog.m_oldName = QString::fromStdU16String(member->name);
  dialog.m_data = EnteredData(MemberData{}, *member);
  dialog.m_data.married = member->married != 0 ? 1 : 0;
  dialog.m_data.alive = member->alive != 0 ? 1 : 0;
  if (member->parent) dialog.m_fatherBirthYear = member->parent->birthYear;
  if (member->firstChild) dialog.m_firstChildBirthYear = member->firstChild->birthYear;
  if (dialog.DoModal() != IDOK) return;

  // What the dialog does not change (the death date of a living member)
  // stays as it was.
  const MemberData record = EnteredData(*member, dialog.m_data);
  EditProblem problem = CheckNameAndAddress(m_document.Genealogy(), record, member);
  if (problem == EditProblem::kNone) problem = m_document.ChangeMember(member, record);
  if (problem != EditProblem::kNone) ShowNotice(EditProblemText(problem, EditKind::Change));
}

void CClanbookDlg::OnChangeData() {
  if (!m_document.Root()) return;
  MemberNode* member = SelectedMember();
  if (!member) {
    ShowNotice(tr("请先在家谱树中选择一个成员!"));
    return;
  }
  ChangeMember(member);
}

void CClanbookDlg::OnModifyMember() {
  CModifyNameDlg dialog(this);
  if (dialog.DoModal() != IDOK) return;
  MemberNode* member = FindMember(dialog.m_name);
  if (!member) {
    ShowNotice(NotFoundText(dialog.m_name));
    return;
  }
  ChangeMember(member);
}

void CClanbookDlg::DeleteWithQuestion(MemberNode* member, const QString& name, bool fullWidthMark) {
  const QString question =
      member->firstChild
          ? tr("%1还有孩子,如果你删除了他,其孩子也一并被删除。你确实想删除此人及其孩子吗？")
                .arg(name)
          : (fullWidthMark ? tr("你确实想删除%1吗？") : tr("你确实想删除%1吗?")).arg(name);
  if (!AskQuestion(this, WarningTitle(), question)) return;
  m_document.DeleteMember(member);
}

void CClanbookDlg::OnDeleteSelected() {
  if (!m_document.Root()) return;
  MemberNode* member = SelectedMember();
  if (!member) {
    ShowNotice(tr("请先在家谱树中选择一个成员!"));
    return;
  }
  DeleteWithQuestion(member, QString::fromStdU16String(member->name), true);
}

void CClanbookDlg::OnDeleteMember() {
  CDelInfoDlg dialog(this);
  if (dialog.DoModal() != IDOK) return;
  MemberNode* member = FindMember(dialog.m_name);
  if (!member) {
    ShowNotice(NotFoundText(dialog.m_name));
    return;
  }
  DeleteWithQuestion(member, dialog.m_name, false);
}
