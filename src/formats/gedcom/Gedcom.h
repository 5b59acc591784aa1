// GEDCOM import and export of a genealogy.
//
// A genealogy is one line of descent from one root; GEDCOM holds any number of
// people linked by families. Export writes every member as an INDI and every
// father (or married member) as the husband of a FAM. Import chooses one root
// and brings in his line: the root and, recursively, every child of every
// family in which a member is the husband. Whatever the genealogy demands and
// the file lacks (a unique name, a full date, a child born after his father)
// is made up visibly: every change is listed in the import report.
//
// docs/gedcom.md describes each mapping decision.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/COperationClanbook.h"
#include "model/FileStatus.h"

namespace formats {
class CbkBook;
}

namespace gedcom {

enum class GedcomVersion { v5_5_1, v7_0 };

// A picture as an export meets it: the member's `position`th (from 1),
// written as the `number`th picture of the file (counted from 1 over the
// pictures written). A picture left out is told by member and position, as
// numbers would repeat: the next one written takes the number it did not.
struct MediaItem {
  const MemberNode& member;
  const Photo& photo;
  std::size_t position;
  std::size_t number;
};

// The pictures of an export. The writer calls it for each picture in the
// order written; it puts the picture's file where the .ged will find it and
// gives the reference to write in FILE (relative to the .ged, '/' between
// folders) and the picture's bytes' kind (PictureKind), or returns false to
// leave the picture out.
using MediaWriter =
    std::function<bool(const MediaItem& item, std::string& file, std::string& kind)>;
// Told of each picture an export leaves out.
using PictureLeftOut = std::function<void(const MediaItem& item)>;

// Appends the genealogy as GEDCOM (UTF-8, lines ended by CR LF) to `out`.
// XREFs are numbered in the order of a walk from the root, so the same
// genealogy always gives the same bytes. Without `media`, a picture whose
// bytes are held is referenced as media/N.jpg (.png...) and none is written.
void WriteGedcom(const COperationClanbook& genealogy, GedcomVersion version, std::string& out,
                 const MediaWriter& media = {});
// Writes the genealogy as GEDCOM at `path` in pieces, replacing the file only
// as a whole; on failure the problem says why and the file stays as it was.
FileStatus WriteGedcomFile(const COperationClanbook& genealogy, GedcomVersion version,
                           const std::filesystem::path& path);
// As WriteGedcomFile, with the book's pictures as files in the folder
// NAME-media beside NAME.ged, which the .ged names. The bytes of a picture
// not held are read from `photos` (the .cbk the book came from). A picture
// that cannot be read or written is left out, told to `leftOut`, and the write fails with kWriteFailed once the .ged is
// written: nothing is dropped silently.
FileStatus WriteGedcomBook(const COperationClanbook& genealogy, GedcomVersion version,
                           const std::filesystem::path& path, const formats::CbkBook* photos,
                           const PictureLeftOut& leftOut = {});
// As WriteGedcomBook, as a GEDZIP archive at `path` (7.0, the pictures in
// it: formats/gedcom/GedzipFormat.h).
FileStatus WriteGedzipBook(const COperationClanbook& genealogy, const std::filesystem::path& path,
                           const formats::CbkBook* photos,
                           const PictureLeftOut& leftOut = {});

enum class GedcomError {
  kNone,
  kNotText,      // bytes that are no text in the encoding the file declares
  kNotGedcom,    // no level-0 HEAD record at the start
  kNoPeople,     // no INDI record
  kUnknownRoot,  // the root XREF asked for is no INDI of the file
  kNoRoot,       // every person has parents in the file (a loop of families)
  kNoMemory,
};

struct GedcomResult {
  GedcomError error = GedcomError::kNone;
  std::size_t line = 0;  // 1-based line of the file where it failed; 0: the whole file
  std::string detail;    // UTF-8, for the user
  explicit operator bool() const { return error == GedcomError::kNone; }
};

// What the user may fix before an import: the root to start from.
struct GedcomImportOptions {
  std::optional<std::string> rootXref;  // "@I1@" or "I1"; none: the largest line
  // The folder the file's relative OBJE.FILE references start from (the
  // .ged's); none: pictures are not looked for, each reference is reported.
  std::optional<std::filesystem::path> mediaFolder;
  // Where the pictures come from instead, when set (a GEDZIP's archive): the
  // bytes a FILE reference names, or null when it names nothing there.
  std::function<std::shared_ptr<const std::string>(std::string_view reference)> mediaReader;
};

// A fact of the file that the book has no place for (a birth place, a
// baptism, a second NAME that is no 字 or 号, a picture that cannot be
// found): named in the report, never dropped silently.
struct GedcomDropped {
  std::string xref;  // the person's or family's "@I12@"
  std::size_t line = 0;
  std::string fact;   // the tags from the record down: "BIRT.PLAC", "OBJE.FILE"
  std::string value;  // its value, UTF-8 ("" when it has none)
};

// One change the import made to a person's data, UTF-8 throughout.
struct GedcomChange {
  std::string xref;      // "@I12@"
  std::string field;     // name, birth, death, address
  std::string original;  // the value in the file ("" when it had none)
  std::string stored;    // what the genealogy holds now
};

// A part of the file the import passed over, for the window to word in the
// user's language.
struct GedcomNote {
  enum class Kind {
    kNotALine,      // no GEDCOM line
    kUnclosedXref,  // an XREF without its closing @
    kNoTag,         // a line without a tag
    kNoTrailer,     // the file ends without 0 TRLR
    kSecondPerson,  // a second INDI with `xref`: links go to the first
    kMoreLeftOut,   // `line` holds how many more notes were left out
  };
  Kind kind = Kind::kNotALine;
  std::size_t line = 0;  // 1-based line of the file
  std::string xref;      // "@I1@"
};

// The note in English, as the command line's report writes it:
// "line 12: no GEDCOM line, skipped".
std::string NoteText(const GedcomNote& note);

// A value of the file as a report shows it: its control characters escaped
// (textcodec::Printable). A value of more than kShownValueLength characters
// shows only its first ones; `length` then tells how long the whole is.
inline constexpr std::size_t kShownValueLength = 80;
struct ShownValue {
  std::string text;        // UTF-8, escaped
  std::size_t length = 0;  // characters (code points) of the whole value
  bool shortened = false;
};
ShownValue ShowValue(std::string_view utf8);

struct GedcomImportReport {
  std::string version;      // the GEDC VERS of the file ("" when it gives none)
  std::string encoding;     // how its bytes were read: UTF-8, UTF-16LE, ANSEL, ...
  std::string rootXref;     // the root that was chosen
  std::size_t people = 0;   // INDI records in the file
  std::size_t members = 0;  // people brought in
  std::vector<GedcomChange> changes;
  std::vector<GedcomNote> notes;  // lines skipped, broken links
  std::vector<GedcomDropped> dropped;

  // The report as text: a summary, then one tab-separated line per change,
  // every value of the file as ShowValue shows it, a shortened one followed by
  // "… (N characters)".
  void Write(std::ostream& out) const;
};

struct GedcomRootCandidate {
  std::string xref;  // "@I1@"
  std::string name;  // as it would be stored, UTF-8
  std::size_t members = 0;
};

// The people without parents in the file, each with the number of members an
// import from there would bring in; largest first, ties in file order.
GedcomResult ListRootCandidates(std::string_view bytes, std::vector<GedcomRootCandidate>& out);

// Replaces `out` with the line of the chosen root. On failure `out` is left as
// it was.
GedcomResult ReadGedcom(std::string_view bytes, const GedcomImportOptions& options,
                        COperationClanbook& out, GedcomImportReport& report);

// Command-line entry points. They return a process exit code: 0 done, 1 the
// input could not be read or understood, 2 the output could not be written.
// The output file is replaced atomically and left alone on failure; an output
// that is the input itself (by any name) is refused before anything is read.
int ExportGedcomFile(const std::filesystem::path& in, const std::filesystem::path& out,
                     GedcomVersion version, std::ostream& messages);
int ImportGedcomFile(const std::filesystem::path& in, const std::filesystem::path& out,
                     const std::optional<std::string>& rootXref, std::ostream& report);

}  // namespace gedcom
