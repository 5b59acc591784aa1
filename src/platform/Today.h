// Today's local date, through a seam so that tests never read the clock.
#pragma once

#include <QString>

#include <optional>

struct LocalDate {
  int year = -1;
  int month = -1;
  int day = -1;
};

LocalDate Today();
// Fixes Today() for tests; std::nullopt returns to the clock.
void SetTodayForTesting(std::optional<LocalDate> date);

// A date as the program writes it for people: "1950--3--12".
QString DateText(int year, int month, int day);
