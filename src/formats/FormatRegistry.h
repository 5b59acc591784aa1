// Every file format the program reads or writes, in one table: the end of a
// file's name that marks it and what it can do. Open, drop, branch books and
// the command line all find a file's format here.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "formats/FileFormat.h"

namespace formats {

enum class FormatId { kFtf, kCbk, kGedcom, kGedzip };

struct FormatEntry {
  FormatId id;
  std::string_view suffix;  // the end of a file's name, lower case, without its dot
  bool reads;
  bool writes;
  // Whether a genealogy written and read again has every field it had: names,
  // dates, marriage, address, and the order of brothers born on one day.
  bool keepsEveryField;
};

// The formats, the program's own first.
std::span<const FormatEntry> Formats();

// The format a file's name marks (the case of its end does not matter), or
// none.
const FormatEntry* FormatOfFile(std::string_view fileName);

// The entry of `id`.
const FormatEntry& FormatOf(FormatId id);

// The name patterns of a file dialog's filter for `id`: "*.ged", and with
// `upperCaseToo` "*.ged *.GED" (for file dialogs that match the case).
std::string NamePatterns(FormatId id, bool upperCaseToo = false);

// A fresh format object (with default options) to read or write with.
std::unique_ptr<FileFormat> MakeFormat(FormatId id);

}  // namespace formats
