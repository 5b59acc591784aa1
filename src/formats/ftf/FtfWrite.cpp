// The .ftf writer: one record a line in pre-order, UTF-8 with CR LF, and the
// checks that every record reads back as written.
#include <charconv>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "formats/ftf/FtfCodec.h"
#include "formats/ftf/FtfLimits.h"
#include "model/COperationClanbook.h"
#include "model/TextCodec.h"

using ftf::kEnd;
using ftf::kEndLine;
using ftf::kNoFather;
using ftf::kPiece;

namespace {

char* WriteNumber(char* out, std::int32_t value) {
  return std::to_chars(out, out + 11, value).ptr;  // "-2147483648" is the longest
}

char* WriteText(char* out, std::u16string_view text, bool& plain) {
  if (text.size() <= kMaxTextLength) return textcodec::WriteUtf8(out, text, plain);
  // Longer than the file allows: Save refuses such a member; this visitor on
  // its own writes the first kMaxTextLength code units.
  return textcodec::WriteUtf8(out, text.substr(0, kMaxTextLength), plain);
}

// Three texts of 127 code units at 3 bytes each, eight numbers of 11
// characters, the blanks and the line break.
constexpr std::size_t kMaxRecordBytes = 3 * 3 * kMaxTextLength + 8 * 11 + 16;

// Writes the member's record at `p`, which has room for kMaxRecordBytes;
// clears `plain` when a text holds what WhyNotStorable looks for.
char* WriteRecord(char* p, const MemberNode* member, bool& plain) {
  p = WriteText(p, member->name, plain);
  for (std::int32_t value :
       {member->birthYear, member->birthMonth, member->birthDay, member->married}) {
    *p++ = ' ';
    p = WriteNumber(p, value);
  }
  *p++ = ' ';
  if (member->address.empty()) {
    std::memcpy(p, "end", 3);
    p += 3;
  } else {
    p = WriteText(p, member->address, plain);
  }
  *p++ = ' ';
  p = WriteNumber(p, member->alive);
  if (member->alive == 0) {
    for (std::int32_t value : {member->deathYear, member->deathMonth, member->deathDay}) {
      *p++ = ' ';
      p = WriteNumber(p, value);
    }
  }
  *p++ = ' ';
  if (member->parent) {
    p = WriteText(p, member->parent->name, plain);
  } else {
    std::memcpy(p, "-1", 2);
    p += 2;
  }
  *p++ = '\r';
  *p++ = '\n';
  return p;
}

}  // namespace

namespace {

// Why the member's record would not read back as written, or kNone. `plain`:
// writing the record found no text with a blank, a control character or a
// lone surrogate, so that only the cheap checks are left.
FileStatus MemberProblem(const MemberNode* member, bool plain = false) {
  const std::u16string_view name = member->name;
  if (plain && !name.empty() && name.size() <= kMaxTextLength &&
      member->address.size() <= kMaxTextLength &&
      (member->parent ? name != kEnd && name != member->parent->name : name != kNoFather))
    return {};
  FileStatus status;
  status.code = kFileCannotWrite;
  status.detail = member->name;
  if (TextProblem t = WhyNotStorable(member->name, true); t != TextProblem::kNone) {
    status.problem = FileProblem::kNameNotStorable;
    status.text = t;
  } else if (t = WhyNotStorable(member->address, false); t != TextProblem::kNone) {
    status.problem = FileProblem::kAddressNotStorable;
    status.text = t;
  } else if (!member->parent) {
    // The root's own father field is "-1": a root of that name reads as the
    // end of the file.
    if (member->name == kNoFather) status.problem = FileProblem::kRootNamedNoFather;
  } else if (member->name == kEnd) {
    status.problem = FileProblem::kNamedEnd;
  } else if (member->name == member->parent->name) {
    status.problem = FileProblem::kNamedLikeFather;
  }
  if (status.problem == FileProblem::kNone) return {};
  return status;
}

}  // namespace

namespace ftf {

FileStatus Write(const COperationClanbook& genealogy, const WriteSink& sink) {
  const MemberNode* root = genealogy.Root();
  if (!root) return Failure(kFileCannotWrite, FileProblem::kNothingToSave, 0);
  try {
    // The text goes out in pieces of about a megabyte, so that a large
    // genealogy needs no second copy of itself in memory. Records are written
    // straight into the piece.
    struct Piece {
      std::unique_ptr<char[]> bytes{new char[kPiece + kMaxRecordBytes]};
      char* end = bytes.get();
      FileStatus status;
      std::string_view Text() const {
        return {bytes.get(), static_cast<std::size_t>(end - bytes.get())};
      }
    } piece;
    // A root name that begins with U+FEFF would be taken for a byte-order mark
    // when the file is read again and come back one character shorter; a real
    // mark in front keeps it. Every other file is written without one.
    if (!root->name.empty() && root->name.front() == u'\uFEFF') {
      std::memcpy(piece.end, "\xEF\xBB\xBF", 3);
      piece.end += 3;
    }
    genealogy.VisitPreOrder(piece, genealogy.Root(), [&sink](Piece& out, MemberNode* member) {
      if (!out.status.Ok()) return;
      bool plain = true;
      char* end = WriteRecord(out.end, member, plain);
      if (FileStatus s = MemberProblem(member, plain); !s.Ok()) {
        out.status = std::move(s);
        return;
      }
      out.end = end;
      if (out.Text().size() >= kPiece) {
        if (!sink(out.Text())) out.status = Failure(kFileCannotWrite, FileProblem::kWriteFailed, 0);
        out.end = out.bytes.get();
      }
    });
    if (!piece.status.Ok()) return piece.status;
    // The piece has room for a record after it, enough for the end line.
    std::memcpy(piece.end, kEndLine.data(), kEndLine.size());
    piece.end += kEndLine.size();
    if (!sink(piece.Text())) return Failure(kFileCannotWrite, FileProblem::kWriteFailed, 0);
    return {};
  } catch (const std::bad_alloc&) {
    return Failure(kFileCannotWrite, FileProblem::kNoMemory, 0);
  }
}

FileStatus CheckWritable(const COperationClanbook& genealogy) {
  if (!genealogy.Root()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave, 0);
  FileStatus status;
  genealogy.VisitPreOrder(status, genealogy.Root(), [](FileStatus& s, MemberNode* m) {
    if (s.Ok()) s = MemberProblem(m);
  });
  return status;
}

}  // namespace ftf
