// What the window remembers of the Chinese calendar: how dates are shown, and
// what 今日生日 at Open follows besides the Gregorian birthday. Kept in the
// user's settings beside the others (mainwindow/RecentFiles.h).
#pragma once

#include "document/DateWords.h"
#include "platform/Today.h"

#include <vector>

struct MemberNode;

namespace clanbook_settings {

// 公历 unless the user chose otherwise.
DateDisplay ShownDates();
void SetShownDates(DateDisplay display);
// Off unless turned on: the seed's birthday check alone.
bool LunarBirthdays();
void SetLunarBirthdays(bool on);
bool DeathDays();
void SetDeathDays(bool on);

}  // namespace clanbook_settings

// The members under `root`, in pre-order, whose Chinese birthday is `today`
// (a leap month's child keeps his birthday in the leap month, or in the month
// of that number in a year without it; one born on a 三十 keeps it on the 廿九
// of a short month), and the deceased
// whose Chinese death day (忌日) it is. A date the table does not reach never
// matches.
struct LunarDaysToday {
  std::vector<MemberNode*> births;
  std::vector<MemberNode*> deathDays;
};
LunarDaysToday FindLunarDays(MemberNode* root, const LocalDate& today, bool births, bool deathDays);
