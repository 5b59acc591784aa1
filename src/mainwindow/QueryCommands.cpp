// Query commands of the main window: they read the genealogy and answer in a
// message box and in the list view, and never touch the tree, the tree view's
// selection or the modified flag.
#include "dialogs/CBirthdayDlg.h"
#include "mainwindow/CClanbookDlg.h"
#include "dialogs/CPersonalInfoDlg.h"
#include "dialogs/CRelationsDlg.h"
#include "dialogs/CSearchGenerationDlg.h"
#include "platform/MessageBoxes.h"

#include <QStringView>

#include <memory>
#include <new>
#include <vector>

namespace {

// Appends the names from `member` up to the root joined by `separator`. A line
// may run through a million generations, so the text is sized once up front.
void AppendLineToRoot(QString& text, const MemberNode* member, QStringView separator) {
  qsizetype length = 0;
  for (const MemberNode* m = member; m; m = m->parent)
    length += static_cast<qsizetype>(m->name.size()) + separator.size();
  text.reserve(text.size() + length + 2);
  for (const MemberNode* m = member; m; m = m->parent) {
    if (m != member) text += separator;
    text += QStringView(m->name.data(), static_cast<qsizetype>(m->name.size()));
  }
}

}  // namespace

void CClanbookDlg::OnPersonalInfo() {
  CPersonalInfoDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  const QString& name = dialog.m_name;
  MemberNode* member = FindMember(name);
  if (!member) {
    ShowNotice(QStringLiteral("没找到此人!"));
    return;
  }
  ShowNotice(name + QStringLiteral("的信息请见下部列表."));
  ClearList();
  AddMemberRow(member);
  if (member->parent) {
    AddNoteRow(QStringLiteral("  "));
    AddNoteRow(name + QStringLiteral("的父亲:"));
    AddMemberRow(member->parent);
  }
  if (member->firstChild) {
    AddNoteRow(QStringLiteral("  "));
    AddNoteRow(name + QStringLiteral("的长子:"));
    AddMemberRow(member->firstChild);
  }
}

void CClanbookDlg::OnGenerationInfo() {
  CSearchGenerationDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  if (dialog.m_generation <= 0) {
    ShowNotice(QStringLiteral("输入的数必须大于0!"));
    return;
  }
  ClearList();
  bool found = false;
  ListGeneration(m_genealogy.GetRootLink(), found, 1, dialog.m_generation);
  ShowNotice(found ? QStringLiteral("该代所有成员的信息请见下部列表.")
                   : QStringLiteral("你输入的数字超出了家谱中的最大代，家谱还没续到此代!"));
}

void CClanbookDlg::OnRelations() {
  CRelationsDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  const QString& first = dialog.m_firstName;
  const QString& second = dialog.m_secondName;
  const MemberNode* firstMember = FindMember(first);
  if (!firstMember) {
    ShowNotice(NotFoundText(first));
    return;
  }
  const MemberNode* secondMember = FindMember(second);
  if (!secondMember) {
    ShowNotice(NotFoundText(second));
    return;
  }
  const int g1 = m_genealogy.GetGeneration(firstMember);
  const int g2 = m_genealogy.GetGeneration(secondMember);

  QString text;
  text += first + QStringLiteral("在家谱中的位置: ");
  AppendLineToRoot(text, firstMember, u"->");
  text += QLatin1Char('\n');
  text += second + QStringLiteral("在家谱中的位置: ");
  AppendLineToRoot(text, secondMember, u" -> ");
  text += QStringLiteral("\n\n");
  if (g1 == g2) {
    text += first + QStringLiteral("与") + second + QStringLiteral("同在第") + QString::number(g2) +
            QStringLiteral("代.");
  } else {
    text += first + QStringLiteral("在第") + QString::number(g1) + QStringLiteral("代，") + second +
            QStringLiteral("在第") + QString::number(g2) + QStringLiteral("代，") + first +
            QStringLiteral("是") + second +
            (g1 > g2 ? QStringLiteral("的晚辈.") : QStringLiteral("的长辈."));
  }
  ShowNotice(text);
}

void CClanbookDlg::OnSortByBirth() {
  ClearList();
  int count = 0;
  m_genealogy.CountMembers(m_genealogy.GetRootLink(), count);
  // One array for the whole command; entry 0 is the sort's working space.
  std::unique_ptr<BirthKey[]> keys(new (std::nothrow)
                                       BirthKey[static_cast<std::size_t>(count) + 1]);
  if (!keys) {
    ShowNotice(QStringLiteral("内存不足!"));
    return;
  }
  m_genealogy.SortByBirth(keys.get());
  std::vector<const MemberNode*> rows(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) rows[static_cast<std::size_t>(i - 1)] = keys[i].member;
  AddMemberRows(rows);
  ShowNotice(QStringLiteral("排序后结果请见下部列表。"));
}

void CClanbookDlg::OnFindBirthday() {
  CBirthdayDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  // Every match is kept, however many share the day.
  std::vector<MemberNode*> members;
  m_genealogy.FindByBirthday(m_genealogy.GetRootLink(), members, dialog.m_month, dialog.m_day);
  if (members.empty()) {
    ShowNotice(QStringLiteral("没有找到生日为该天的家族成员!"));
    ClearList();
    return;
  }
  ShowInformation(this, QStringLiteral("查找结果："),
                  BirthdayText(QStringLiteral("该天为以下家族成员的生日:"), members));
  ClearList();
  AddMemberRows({members.begin(), members.end()});
}
