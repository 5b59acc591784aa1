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

// ---- The whole record (GedcomWriter.cpp, GedcomRecords.cpp) ---------------
//
// The words and extension tags that carry what GEDCOM has no tag of its own
// for (docs/gedcom.md, The whole record).

// NAME.TYPE of a 字 and a 号: a user-defined type in 5.5.1, the PHRASE of
// TYPE OTHER in 7.0.
inline constexpr std::string_view kCourtesyWord = "字";
inline constexpr std::string_view kArtWord = "号";
// FACT.TYPE of the facts without a tag of their own.
inline constexpr std::string_view kRankWord = "排行";
inline constexpr std::string_view kBranchWord = "房支";
inline constexpr std::string_view kOriginWord = "籍贯";
inline constexpr std::string_view kBirthFatherWord = "生父";
// MARR.TYPE: how a wife stands (SpouseTitle, in its order).
inline constexpr std::string_view kSpouseTitleWords[] = {"配", "继配", "娶", "侧室"};

// The extension tags, each declared in a 7.0 header's SCHMA.
inline constexpr std::string_view kHourTag = "_HOUR";       // BIRT: 生时 not on a clock
inline constexpr std::string_view kFacingTag = "_FACING";   // BURI: 葬向
inline constexpr std::string_view kBiographyTag = "_BIOG";  // NOTE: this note is the 行传
inline constexpr std::string_view kBookTag = "_BOOK";       // HEAD: the book's data
struct BookTag {
  std::string_view tag;
  int field;  // RecordField
};
// The substructures of _BOOK, one per field of the book.
extern const BookTag kBookTags[9];
// _POEM: the 世 of the 字辈's first character, when not 第1世.
inline constexpr std::string_view kPoemGenerationTag = "_GEN";
inline constexpr std::string_view kSchemaBase = "https://www.morvane.example/clanbook/gedcom/";

// What a picture's bytes are: "jpg", "png", "gif", "bmp", "tif", "webp";
// "" when they are no picture the program shows.
std::string_view PictureKind(std::string_view bytes);
// The FORM of a picture of that kind: 5.5.1's kind, 7.0's media type.
std::string PictureForm(std::string_view kind, GedcomVersion version);
// An export's name for picture `number` of that kind in `folder`:
// "book-media/3.png", ".bin" for bytes that are no picture.
std::string PictureFileName(std::string_view folder, std::size_t number, std::string_view kind);
// A picture of more than this is no portrait: an import names it, unread.
inline constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{64} << 20;

}  // namespace gedcom::detail
