// Pieces of the GEDCOM import and export shared by the reader, the writer and
// the tests: text encodings, dates and Chinese surnames.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/gedcom/Gedcom.h"

namespace gedcom::detail {

// ---- Text (GedcomText.cpp) -------------------------------------------------

inline char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The file's bytes as UTF-8: a view of the input itself when it is UTF-8
// already (the common case, and the one that must be fast), else of `storage`.
struct DecodedText {
  std::string_view text;
  std::string storage;
  std::string encoding;
  std::string version;  // HEAD.GEDC.VERS
};

GedcomResult Decode(std::string_view bytes, DecodedText& out);

// ANSEL (ANSI Z39.47 with the GEDCOM additions) to UTF-8: a combining mark
// stands before its letter in ANSEL and after it in Unicode; the common pairs
// are composed into one character.
std::string AnselToUtf8(std::string_view bytes);
// Windows-1252, which files call ANSI, to UTF-8.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 to UTF-16 with U+FFFD for anything malformed.
std::u16string ToUtf16(std::string_view utf8);

// ---- Dates (GedcomDates.cpp) -----------------------------------------------

struct ParsedDate {
  enum Kind { kNone, kEstimated, kExact } kind = kNone;
  std::int32_t year = 0, month = 0, day = 0;  // a valid date unless kNone
};

// Reads a GEDCOM date value of any version. Exact: a Gregorian day, month and
// year without modifier. Estimated: anything from which a year can be taken
// (modifiers, ranges and periods take their first date, a missing day or
// month becomes 1, other calendars are converted or approximated, dual years
// take the later year). None: no year at all.
ParsedDate ParseDate(std::string_view value);

// "3 FEB 1901", "1 JAN 552 BCE" (7.0) or "1 JAN 552 B.C." (5.5.1). A month or
// day out of range is left out rather than written wrong.
std::string FormatDate(std::int32_t year, std::int32_t month, std::int32_t day,
                       GedcomVersion version);

// ---- Names (GedcomNames.cpp) -----------------------------------------------

// Whether every character of `name` is a Chinese character.
bool IsChineseName(std::u16string_view name);

// The length in code units of the surname at the start of a Chinese `name`:
// the clan's surname when the name starts with it, else a compound surname
// from the table, else the first character; 0 when the name is no Chinese
// name of at least two characters.
std::size_t SurnameLength(std::u16string_view name, std::u16string_view clanSurname);

}  // namespace gedcom::detail
