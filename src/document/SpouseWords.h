// The words of a wife wherever the program names her: the member window's
// list, the merge review, the 五服图. One place, below the dialogs and the
// charts alike, so that every window says 王氏 the same way.
#pragma once

#include "model/MemberRecord.h"

#include <QString>

#include <cstdint>

namespace spouse_text {
// 配, 继配, 娶, 侧室 in the user's language.
QString Title(SpouseTitle title);
// "王氏" for the surname 王 (the book's way of naming a wife); empty without one.
QString Clan(const Spouse& spouse);
// Her name as the member window lists her: "王氏", "王氏 秀英" with a given
// name, the given name alone without a surname, 某氏 with neither.
QString Name(const Spouse& spouse);
// A date of the wife in both calendars; empty when unknown.
QString Date(std::int32_t year, std::int32_t month, std::int32_t day);
}  // namespace spouse_text
