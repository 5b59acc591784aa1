// The commands that change the genealogy: add a member (as a child or as the
// new root), change a member's data, delete a member with its descendants, and
// undo and redo them. Each checks what the user gave, then hands the edit to
// the document, which the views follow.
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CDelInfoDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/CModifyNameDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/MessageBoxes.h"

#include <QUndoStack>

namespace {

QString WarningTitle() {
  return CClanbookDlg::tr("警告");
}
// What the add dialog's father field holds for "no father: a new root".
const QString kRootFather = QStringLiteral("-1");

bool HasWhiteSpace(const QString& text) {
  for (QChar c : text)
    if (c.isSpace()) return true;
  return false;
}

// The genealogy file keeps a name and an address as one word each, takes the
// address "end" for none, and reads a name "end" as the end of the file; "-1"
// as a name could never be given as a father in the add dialog. A text the file
// cannot carry is refused here, before it can be lost at the next save.
QString RefusalOfText(const QString& name, const QString& address) {
  if (name.isEmpty()) return CClanbookDlg::tr("姓名不能为空!");
  if (HasWhiteSpace(name) || HasWhiteSpace(address))
    return CClanbookDlg::tr("姓名和地址中不能含有空白字符!");
  if (name == u"end" || name == kRootFather) return CClanbookDlg::tr("姓名不能为end或-1!");
  if (address == u"end") return CClanbookDlg::tr("地址不能为end!");
  return {};
}

// A changed birth date must keep the member loadable: a valid date, after the
// father's and before every child's.
int CompareBirth(const MemberData& a, const MemberData& b) {
  return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay);
}

QString RefusalOfNewBirthDate(const MemberNode& member, const MemberData& record) {
  if (!COperationClanbook::IsValidDate(record.birthYear, record.birthMonth, record.birthDay))
    return CClanbookDlg::tr("此人信息中出生日期不合实际!");
  if (member.parent && CompareBirth(record, *member.parent) <= 0)
    return CClanbookDlg::tr("此人的出生日期不能早于或等于其父亲的出生日期!");
  for (const MemberNode* child = member.firstChild; child; child = child->nextSibling)
    if (CompareBirth(record, *child) >= 0)
      return CClanbookDlg::tr("此人的出生日期不能晚于或等于其孩子的出生日期!");
  return {};
}

// What the add and change dialogs hold, into a member's data; the death date
// only for a member who is not living, so that a living member keeps his.
template <class Dialog>
void TakeDialogData(const Dialog& dialog, MemberData& record) {
  record.name = dialog.m_name.toStdU16String();
  record.address = dialog.m_address.toStdU16String();
  record.birthYear = dialog.m_birthYear;
  record.birthMonth = dialog.m_birthMonth;
  record.birthDay = dialog.m_birthDay;
  record.married = dialog.m_married;
  record.alive = dialog.m_alive;
  if (dialog.m_alive == 0) {
    record.deathYear = dialog.m_deathYear;
    record.deathMonth = dialog.m_deathMonth;
    record.deathDay = dialog.m_deathDay;
  }
}

}  // namespace

int CClanbookDlg::AddMember(CAddInfoDlg& dialog) {
  MemberData record;
  TakeDialogData(dialog, record);

  if (const QString refusal = RefusalOfText(dialog.m_name, dialog.m_address); !refusal.isEmpty()) {
    ShowNotice(refusal);
    return 0;
  }
  if (FindMember(dialog.m_name)) {
    ShowNotice(tr("家谱中已有此人!"));
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

  if (!COperationClanbook::IsValidDate(record.birthYear, record.birthMonth, record.birthDay)) {
    ShowNotice(tr("个人信息中的出生日期不合实际!"));
    return 0;
  }
  if (father) {
    const int order = CompareBirth(record, *father);
    if (order == -1) {
      ShowNotice(tr("所加入孩子的出生日期比其父亲的出生日期早，不合实际!"));
      return 0;
    }
    if (order == 0) {
      ShowNotice(tr("所加入孩子的出生日期与其父亲的出生日期相等，不合实际!"));
      return 0;
    }
  } else if (const MemberNode* oldRoot = m_document.Root();
             oldRoot && CompareBirth(record, *oldRoot) == 1) {
    // The old root becomes the new root's child; born before its father, it
    // would make the saved file impossible to open.
    ShowNotice(tr("新根结点的出生日期不能晚于原根结点的出生日期!"));
    return 0;
  }
  if (record.alive == 0) {
    if (!COperationClanbook::IsValidDate(record.deathYear, record.deathMonth, record.deathDay)) {
      ShowNotice(tr("个人信息中的死亡日期不合实际!"));
      return 0;
    }
    if (COperationClanbook::CompareDates(record.birthYear, record.birthMonth, record.birthDay,
                                         record.deathYear, record.deathMonth,
                                         record.deathDay) == 1) {
      ShowNotice(tr("此人出生日期不可能比其死亡日期早!"));
      return 0;
    }
  }

  if (!m_document.AddMember(father, record)) {
    ShowNotice(tr("内存不足!"));
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
    dialog.m_name = SuggestedNameOfChild(selected);
  }
  // With nothing selected the father field stays empty for the user to fill.
  dialog.DoModal();
}

void CClanbookDlg::OnAddMember() {
  CAddInfoDlg dialog(this, this);
  dialog.DoModal();
}

void CClanbookDlg::ChangeMember(MemberNode* member) {
  const QString oldName = QString::fromStdU16String(member->name);
  CModifyInfoDlg dialog(this);
  // The dialog opens with the member's data, so that OK changes only what the
  // user changed.
  dialog.m_oldName = oldName;
  dialog.m_name = oldName;
  dialog.m_address = QString::fromStdU16String(member->address);
  dialog.m_married = member->married != 0 ? 1 : 0;
  dialog.m_alive = member->alive != 0 ? 1 : 0;
  dialog.m_birthYear = member->birthYear;
  dialog.m_birthMonth = member->birthMonth;
  dialog.m_birthDay = member->birthDay;
  if (member->alive == 0) {
    dialog.m_deathYear = member->deathYear;
    dialog.m_deathMonth = member->deathMonth;
    dialog.m_deathDay = member->deathDay;
  }
  if (member->parent) dialog.m_fatherBirthYear = member->parent->birthYear;
  if (member->firstChild) dialog.m_firstChildBirthYear = member->firstChild->birthYear;
  if (dialog.DoModal() != IDOK) return;

  // What the dialog does not change (the death date of a living member)
  // stays as it was.
  MemberData record = *member;
  TakeDialogData(dialog, record);
  if (const QString refusal = RefusalOfText(dialog.m_name, dialog.m_address); !refusal.isEmpty()) {
    ShowNotice(refusal);
    return;
  }
  if (dialog.m_name != oldName && FindMember(dialog.m_name)) {
    ShowNotice(tr("家谱中已有此人!"));
    return;
  }
  if (record.alive == 0) {
    if (!COperationClanbook::IsValidDate(record.deathYear, record.deathMonth, record.deathDay)) {
      ShowNotice(tr("此人信息中死亡日期不合实际!"));
      return;
    }
    if (COperationClanbook::CompareDates(record.deathYear, record.deathMonth, record.deathDay,
                                         record.birthYear, record.birthMonth,
                                         record.birthDay) == -1) {
      ShowNotice(tr("此人死亡日期不可能比其出生日期早!"));
      return;
    }
  }
  // An unchanged birth date was accepted when the member entered the tree; it
  // is not judged again, so a member read from a file whose birth date equals
  // its father's can still have its other data changed.
  if (CompareBirth(record, *member) != 0) {
    if (const QString refusal = RefusalOfNewBirthDate(*member, record); !refusal.isEmpty()) {
      ShowNotice(refusal);
      return;
    }
  }

  m_document.ChangeMember(member, record);
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

void CClanbookDlg::OnUndo() {
  m_document.UndoStack()->undo();
}

void CClanbookDlg::OnRedo() {
  m_document.UndoStack()->redo();
}
