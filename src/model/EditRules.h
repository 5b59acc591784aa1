// The rules an edit of a member must keep so that the book stays one a file
// can carry and the calendar can order: a name the file can store and nobody
// else bears, real dates, a father born before his children. The document
// refuses an edit that breaks one; the window says which in the user's words.
#pragma once

#include "model/COperationClanbook.h"

#include <cstdint>
#include <string_view>

// What is wrong with an edit; the first problem found, in the order the
// checks have always been made.
enum class EditProblem : std::uint8_t {
  kNone,
  // The texts.
  kNameEmpty,
  kBlankInText,      // a blank of any kind (a NUL too) in the name or the address
  kNameReserved,     // "end" ends the file; "-1" stands for "no father"
  kAddressReserved,  // "end" stands for "no address"
  kNameTooLong,      // more than kMaxTextLength UTF-16 code units
  kAddressTooLong,
  kNameNotWellFormed,  // half of a surrogate pair
  kAddressNotWellFormed,
  kNameTaken,  // another member bears the name (CheckNameAndAddress only)
  // The dates.
  kBirthDateNotReal,
  kBornBeforeFather,
  kBornWithFather,      // on the same day as the father
  kBornAfterOldRoot,    // a new root born after the root that becomes his child
  kBornNotBeforeChild,  // a changed birth date on or after a child's
  kDeathDateNotReal,    // of a member who is not living
  kDeathBeforeBirth,
  // Not a rule: there was no memory for the new member.
  kNoMemory,
};

// Whether `c` splits a word as the window's entry has always judged it: the
// C0 blanks, U+0085, and every Unicode space, line and paragraph separator.
bool IsBlankUnit(char16_t c);

// The name and the address alone.
EditProblem CheckTexts(std::u16string_view name, std::u16string_view address);
// The texts, and the name borne by nobody in `book` but `self` (none: a
// member still to come). A book may hold two members of one name (a file
// may, and the name index keeps both); the entry dialogs refuse a second.
EditProblem CheckNameAndAddress(const COperationClanbook& book, const MemberData& data,
                                const MemberNode* self);
// A new member with `data` under `father`; father none: a new root above the
// present one, if any. The texts and the dates; not whether the name is taken.
EditProblem CheckNewMember(const COperationClanbook& book, const MemberNode* father,
                           const MemberData& data);
// `member` given `data`: the texts and the dates, as CheckNewMember. A birth
// date left as it was is not judged again: a member read from a file whose
// birth date equals his father's can still have the rest of his data changed.
EditProblem CheckChange(const MemberNode& member, const MemberData& data);

// What an entry of `entered` makes of a member's data `before`: everything
// entered, but a living member keeps the death date he had (none for a new
// member), whatever the disabled death-date boxes hold.
MemberData EnteredData(const MemberData& before, const MemberData& entered);
