// 字辈: the clan's generation poem. Its Nth character is carried in the given
// name of every member of one generation, counted from the 世 the poem starts
// at (the root is 第1世). The poem belongs to the book's data (BookData), as
// typed; formats/PoemFile.h says what a poem may hold and keeps it beside a
// .ftf.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

struct GenerationPoem {
  int firstGeneration = 1;    // the 世 of the first character
  std::u32string characters;  // one per generation; empty: no poem

  // The character of generation `generation` (root = 1), or 0 outside the poem.
  char32_t CharacterOf(int generation) const;
};

// The clan's surname, read off the book: the longest start (at most two
// characters, always leaving a given name) that the root's name shares with
// the names of all his children, so that a compound surname such as 欧阳 is
// found without a list of surnames; one character when the root has no
// children or they share nothing more with him. Empty for an empty book.
std::u16string ClanSurname(const COperationClanbook& book);

// A member's given name: his name after the clan's surname when it starts
// with it, else after its first character (a surname of its own).
std::u16string_view GivenName(std::u16string_view name, std::u16string_view clanSurname);

// Every member, in pre-order, whose generation has a character in the poem and
// whose given name lacks it. Members of generations before the poem or beyond
// its end are not checked.
std::vector<MemberNode*> MembersWithoutGenerationCharacter(const COperationClanbook& book,
                                                           const GenerationPoem& poem,
                                                           std::u16string_view clanSurname);

// The name to offer for a new child of `father`: the father's surname followed
// by the character of the child's generation, or the surname alone when the
// poem has no character for it.
std::u16string SuggestedChildName(const COperationClanbook& book, const MemberNode* father,
                                  const GenerationPoem& poem, std::u16string_view clanSurname);

// The poem of the book's data: its characters are the Chinese characters of
// the 字辈 as typed (formats/PoemFile.h's CheckPoemText); none when the text
// is no poem.
GenerationPoem PoemOf(const BookData& book);
