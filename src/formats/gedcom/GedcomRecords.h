// The members' whole records read from the file: 字 and 号, burial, notes,
// sources, pictures, wives, a daughter's husband, a birth father, and the
// book's data in the header. Only the records the fast pass marked as
// holding more than it reads are read again, so a file of bare names and
// dates costs nothing more.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "formats/gedcom/GedcomParse.h"

namespace gedcom::records {

struct Records {
  // By member (the import's order); none for a member with nothing more.
  std::vector<std::unique_ptr<MemberRecord>> members;
  BookData book;
  // A 生父 or 兼祧 father who is a person of the file: filled with his name
  // as stored once the names are made unique.
  struct FatherRef {
    std::uint32_t member;  // whose record
    std::uint32_t person;  // the father, a person of the file
    bool second;           // 兼祧 rather than 生父
  };
  std::vector<FatherRef> fathers;
};

// `order` holds the members' people in the import's order, `father` each
// member's father (an index into order, kNone for the root), `place` each
// person's index into order (kNone: not brought in). Needs the families'
// tables that Resolve made. Facts without a place go to `dropped`.
Records Read(const parse::Parsed& p, const GedcomImportOptions& options,
             const std::vector<std::uint32_t>& order, const std::vector<std::uint32_t>& father,
             const std::vector<std::uint32_t>& place, std::vector<GedcomDropped>& dropped);

// The name of a person of the file as it would be stored, before it is
// made unique: slashes round the surname gone, blanks cleaned.
std::u16string PersonName(const parse::Parsed& p, const parse::Person& person);

}  // namespace gedcom::records
