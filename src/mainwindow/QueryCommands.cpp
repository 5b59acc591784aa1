// Query commands of the main window: they read the genealogy and answer in a
// message box and in the list view, and never touch the tree, the tree view's
// selection or the modified flag.
#include "dialogs/CBirthdayDlg.h"
#include "dialogs/CPersonalInfoDlg.h"
#include "dialogs/CRelationsDlg.h"
#include "dialogs/CSearchGenerationDlg.h"
#include "dialogs/KinshipText.h"
#include "mainwindow/CClanbookDlg.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"

#include <QStringView>

#include <new>
#include <optional>
#include <vector>

namespace {

// The names from `member` up to the root joined by `separator`. A line may run
// through a million generations, so the text is sized once up front.
QString LineToRoot(const MemberNode* member, QStringView separator) {
  QString text;
  qsizetype length = 0;
  for (const MemberNode* m = member; m; m = m->parent)
    length += static_cast<qsizetype>(m->name.size()) + separator.size();
  text.reserve(length);
  for (const MemberNode* m = member; m; m = m->parent) {
    if (m != member) text += separator;
    text += QStringView(m->name.data(), static_cast<qsizetype>(m->name.size()));
  }
  return text;
}

}  // namespace

void CClanbookDlg::OnPersonalInfo() {
  CPersonalInfoDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  const QString& name = dialog.m_name;
  MemberNode* member = FindMember(name);
  if (!member) {
    ShowNotice(tr("没找到此人!"));
    return;
  }
  ShowNotice(tr("%1的信息请见下部列表.").arg(name));
  ClearList();
  AddMemberRow(member);
  if (member->parent) {
    AddNoteRow(QStringLiteral("  "));
    AddNoteRow(tr("%1的父亲:").arg(name));
    AddMemberRow(member->parent);
  }
  if (member->firstChild) {
    AddNoteRow(QStringLiteral("  "));
    AddNoteRow(tr("%1的长子:").arg(name));
    AddMemberRow(member->firstChild);
  }
}

void CClanbookDlg::OnGenerationInfo() {
  CSearchGenerationDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  if (dialog.m_generation <= 0) {
    ShowNotice(tr("输入的数必须大于0!"));
    return;
  }
  bool found = false;
  {
    const BusyCursor busy;
    ClearList();
    ListGeneration(m_document.Genealogy().Root(), found, 1, dialog.m_generation);
  }
  ShowNotice(found ? tr("该代所有成员的信息请见下部列表.")
                   : tr("你输入的数字超出了家谱中的最大代，家谱还没续到此代!"));
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
  const int g1 = m_document.Genealogy().GetGeneration(firstMember);
  const int g2 = m_document.Genealogy().GetGeneration(secondMember);

  QString verdict;
  if (g1 == g2)
    verdict = tr("%1与%2同在第%3代.").arg(first, second, QString::number(g2));
  else if (g1 > g2)
    verdict = tr("%1在第%2代，%3在第%4代，%1是%3的晚辈.")
                  .arg(first, QString::number(g1), second, QString::number(g2));
  else
    verdict = tr("%1在第%2代，%3在第%4代，%1是%3的长辈.")
                  .arg(first, QString::number(g1), second, QString::number(g2));
  // The answer as it always was, then what each calls the other.
  const QString answer = tr("%1在家谱中的位置: %2\n%3在家谱中的位置: %4\n\n%5")
                             .arg(first, LineToRoot(firstMember, u"->"), second,
                                  LineToRoot(secondMember, u" -> "), verdict);
  const QString terms = KinshipLine(first, second, FindKinship({firstMember}, {secondMember})) +
                        QLatin1Char('\n') +
                        KinshipLine(second, first, FindKinship({secondMember}, {firstMember}));
  ShowNotice(answer + QStringLiteral("\n\n") + terms);
}

void CClanbookDlg::OnSortByBirth() {
  // Two million members sort in about half a second: the busy cursor says so.
  std::optional<BusyCursor> busy(std::in_place);
  ClearList();
  std::vector<const MemberNode*> rows;
  try {
    const std::vector<MemberNode*> order = m_document.Genealogy().SortByBirth();
    rows.assign(order.begin(), order.end());
  } catch (const std::bad_alloc&) {
    busy.reset();
    ShowNotice(tr("内存不足!"));
    return;
  }
  AddMemberRows(rows);
  busy.reset();
  ShowNotice(tr("排序后结果请见下部列表。"));
}

void CClanbookDlg::OnFindBirthday() {
  CBirthdayDlg dialog(this);
  if (dialog.DoModal() == IDCANCEL) return;
  // Every match is kept, however many share the day.
  std::vector<MemberNode*> members;
  {
    const BusyCursor busy;
    members = m_document.Genealogy().FindByBirthday(dialog.m_month, dialog.m_day);
  }
  if (members.empty()) {
    ShowNotice(tr("没有找到生日为该天的家族成员!"));
    ClearList();
    return;
  }
  ShowInformation(this, tr("查找结果："),
                  BirthdayText(tr("该天为以下家族成员的生日:%1\n详细信息请见以下列表."), members));
  ClearList();
  AddMemberRows({members.begin(), members.end()});
}
