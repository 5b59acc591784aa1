// 查看 → 日期 (公历, 农历, 两者) and the two settings of 今日生日 at Open; what
// they choose is remembered between runs.
#include "calendar/ChineseCalendar.h"
#include "mainwindow/CClanbookDlg.h"
#include "mainwindow/DateSettings.h"
#include "mainwindow/RecentFiles.h"
#include "views/MemberListModel.h"

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QTableView>

#include <algorithm>
#include <optional>

namespace clanbook_settings {

namespace {
const QString kShownDatesKey = QStringLiteral("dates/shown");
const QString kLunarBirthdaysKey = QStringLiteral("dates/lunarBirthdaysAtOpen");
const QString kDeathDaysKey = QStringLiteral("dates/deathDaysAtOpen");
}  // namespace

DateDisplay ShownDates() {
  const QString value = Open()->value(kShownDatesKey).toString();
  if (value == QLatin1String("chinese")) return DateDisplay::Chinese;
  if (value == QLatin1String("both")) return DateDisplay::Both;
  return DateDisplay::Gregorian;
}

void SetShownDates(DateDisplay display) {
  const char* names[] = {"gregorian", "chinese", "both"};
  Open()->setValue(kShownDatesKey, QString::fromLatin1(names[static_cast<int>(display)]));
}

bool LunarBirthdays() {
  return Open()->value(kLunarBirthdaysKey, false).toBool();
}

void SetLunarBirthdays(bool on) {
  Open()->setValue(kLunarBirthdaysKey, on);
}

bool DeathDays() {
  return Open()->value(kDeathDaysKey, false).toBool();
}

void SetDeathDays(bool on) {
  Open()->setValue(kDeathDaysKey, on);
}

}  // namespace clanbook_settings

namespace {

// Whether a day of the Chinese calendar is kept on `today`.
bool KeptToday(const std::optional<LunarDate>& day, const LunarDate& today) {
  if (!day || day->month != today.month) return false;
  // A leap month's child keeps his birthday in the leap month when the year
  // has one, in the month of that number otherwise.
  if (today.leap && !day->leap) return false;
  if (day->leap && !today.leap && LeapMonthOf(today.year) == today.month) return false;
  if (day->day == today.day) return true;
  // The 三十 of a month that has only 29 days this year is kept on its last day.
  return day->day == 30 && today.day == 29 &&
         MonthLength(today.year, today.month, today.leap) == 29;
}

}  // namespace

LunarDaysToday FindLunarDays(MemberNode* root, const LocalDate& today, bool births,
                             bool deathDays) {
  LunarDaysToday found;
  const std::optional<LunarDate> lunarToday = FromGregorian({today.year, today.month, today.day});
  if (!lunarToday || (!births && !deathDays)) return found;
  // Pre-order with an explicit stack: a chain of many generations must not
  // exhaust the call stack.
  std::vector<MemberNode*> pending;
  if (root) pending.push_back(root);
  while (!pending.empty()) {
    MemberNode* member = pending.back();
    pending.pop_back();
    if (member->nextSibling) pending.push_back(member->nextSibling);
    if (member->firstChild) pending.push_back(member->firstChild);
    if (births &&
        KeptToday(FromGregorian({member->birthYear, member->birthMonth, member->birthDay}),
                  *lunarToday))
      found.births.push_back(member);
    if (deathDays && member->alive == 0 &&
        KeptToday(FromGregorian({member->deathYear, member->deathMonth, member->deathDay}),
                  *lunarToday))
      found.deathDays.push_back(member);
  }
  return found;
}

void CClanbookDlg::InstallDateCommands() {
  SetDateDisplay(clanbook_settings::ShownDates());
  QMenu* book = m_bookMenu;
  QMenu* dates = m_viewMenu->addMenu(tr("日期"));
  dates->setObjectName(QStringLiteral("datesMenu"));
  dates->menuAction()->setObjectName(QStringLiteral("dates"));
  auto* group = new QActionGroup(dates);
  const struct {
    const char* text;
    const char* name;
    DateDisplay display;
  } choices[] = {{QT_TR_NOOP("公历"), "datesGregorian", DateDisplay::Gregorian},
                 {QT_TR_NOOP("农历"), "datesChinese", DateDisplay::Chinese},
                 {QT_TR_NOOP("两者"), "datesBoth", DateDisplay::Both}};
  for (const auto& choice : choices) {
    const DateDisplay display = choice.display;
    QAction* action =
        AddMenuCommand(dates, tr(choice.text), QString::fromLatin1(choice.name), [this, display] {
          SetDateDisplay(display);
          clanbook_settings::SetShownDates(display);
          m_listModel->DatesShownChanged();
          FitDateColumns();
        });
    action->setCheckable(true);
    action->setChecked(display == CurrentDateDisplay());
    group->addAction(action);
  }

  book->addSeparator();
  const struct {
    const char* text;
    const char* name;
    bool (*get)();
    void (*set)(bool);
  } toggles[] = {{QT_TR_NOOP("打开时提示农历生日"), "lunarBirthdaysAtOpen",
                  clanbook_settings::LunarBirthdays, clanbook_settings::SetLunarBirthdays},
                 {QT_TR_NOOP("打开时提示先人忌日"), "deathDaysAtOpen", clanbook_settings::DeathDays,
                  clanbook_settings::SetDeathDays}};
  for (const auto& toggle : toggles) {
    QAction* action =
        AddMenuCommand(book, tr(toggle.text), QString::fromLatin1(toggle.name), [] {});
    action->setCheckable(true);
    action->setChecked(toggle.get());
    connect(action, &QAction::toggled, this, toggle.set);
  }
}

void CClanbookDlg::FitDateColumns() {
  QHeaderView* header = m_listCtrl->horizontalHeader();
  if (CurrentDateDisplay() == DateDisplay::Gregorian) {
    for (const int column : {1, 5}) header->resizeSection(column, header->defaultSectionSize());
    return;
  }
  // Room for the longest dates: a reign's later years, a 闰 month past the
  // tenth, a day past the tenth.
  const QFontMetrics metrics = m_listCtrl->fontMetrics();
  int width = 0;
  for (const GregorianDate& date :
       {GregorianDate{1900, 1, 30}, GregorianDate{1890, 4, 4}, GregorianDate{2034, 1, 14}})
    width = std::max(width, metrics.horizontalAdvance(ShownDate(date.year, date.month, date.day)));
  // The cell's margins and the view's grid besides the text.
  for (const int column : {1, 5})
    header->resizeSection(column, width * 11 / 10 + 4 * metrics.averageCharWidth());
}
