// One GEDCOM record read into a tree of structures: the part of the import
// that reads a member's whole record (wives, burial, notes, sources,
// pictures), done only for the few records the import keeps, so that the
// pass over the whole file stays as lean as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gedcom::detail {

struct Structure {
  std::string tag;
  std::string value;    // CONC and CONT joined, the escape of '@' undone
  std::string pointer;  // "@X@" when the value is a pointer, without it in value
  std::size_t line = 0;
  std::vector<Structure> children;

  // The first substructure with `tag`, or none.
  const Structure* Find(std::string_view tag) const;
  // The value of the first substructure with `tag`; "" when there is none.
  std::string_view Value(std::string_view tag) const;
};

// The value of a line with the escape of '@' undone: 7.0 escapes only a
// leading one, 5.5 every "@@".
std::string Unescaped(std::string_view value, bool v7);

// The record whose lines are `text` (its level-0 line first), the first of
// them line `firstLine` of the file. Lines that are no GEDCOM line are left
// out (the pass over the file has noted them already).
Structure ReadRecord(std::string_view text, bool v7, std::size_t firstLine);

}  // namespace gedcom::detail
