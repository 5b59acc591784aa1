// ZIP archives (PKWARE's APPNOTE), read from memory and written to a sink:
// only what a GEDZIP needs, entries stored or deflated, ZIP64 where sizes,
// offsets or the number of entries pass the classic fields.
//
// An archive comes from anywhere, so the reader trusts nothing in it: every
// offset and size is checked against the bytes before it is used, an entry
// named outside the archive (an absolute path, "..", a backslash) makes the
// whole archive refused, an entry is never inflated past its declared size
// nor past the caller's limit, and its CRC is checked. Nothing is ever
// written to the file system; the caller looks entries up by name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/FileStatus.h"

namespace zip {

struct ZipEntry {
  std::string name;  // as stored: '/' between folders, UTF-8 when flagged
  std::uint16_t flags = 0;
  std::uint16_t method = 0;  // 0 stored, 8 deflated
  std::uint32_t crc = 0;
  std::uint64_t packedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t dataOffset = 0;  // where its packed bytes start in the archive
};

// Beyond this many entries an archive is refused unread (kUnsafeArchive).
inline constexpr std::size_t kMaxEntries = 1u << 20;

// Whether `name` is a path inside the archive: not empty, relative (no
// leading '/', no drive "C:"), no backslash, no NUL or other control
// character, and no "." or ".." component.
bool IsSafeEntryName(std::string_view name);

class ZipReader {
public:
  // Reads the end record and the central directory of `archive`, which the
  // caller keeps alive as long as the reader. kDamagedArchive for bytes that
  // are no archive or one cut short or inconsistent (an entry outside the
  // archive, a local header that does not match, two entries of one name),
  // kUnsafeArchive for an entry named outside the archive or too many
  // entries, kUnsupportedArchive for an archive split over several disks.
  FileProblem Open(std::string_view archive, std::size_t maxEntries = kMaxEntries);

  const std::vector<ZipEntry>& Entries() const { return m_entries; }
  // The entry of exactly that name, or null.
  const ZipEntry* Find(std::string_view name) const;

  // The entry's bytes in `out`. kUnsafeArchive when it would inflate past
  // `maxBytes` (nothing is inflated), kUnsupportedArchive for an encrypted
  // entry or a method other than stored and deflate, kDamagedArchive when
  // its bytes are not what the directory says (size or CRC), kNoMemory.
  // `out` is emptied on failure.
  FileProblem Extract(const ZipEntry& entry, std::uint64_t maxBytes, std::string& out) const;

private:
  FileProblem ReadEntry(std::size_t& at, std::uint64_t directoryEnd, std::uint64_t dataEnd);

  std::string_view m_archive;
  std::vector<ZipEntry> m_entries;
  std::unordered_map<std::string_view, std::size_t> m_byName;
};

// Writes an archive piece by piece to a sink, in one pass, never going back:
// an entry whose bytes are all known is written with its sizes and CRC in
// its local header; an entry given in pieces (Begin, Append, End) is deflated
// as it comes, with a data descriptor after it. The modification time of
// every entry is 1 January 1980, so the same entries give the same bytes.
class ZipWriter {
public:
  explicit ZipWriter(WriteSink sink) : m_sink(std::move(sink)) {}
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // `name` must be safe (IsSafeEntryName). Deflated when `deflate` and it
  // makes the bytes smaller, else stored.
  bool AddWhole(std::string_view name, std::string_view bytes, bool deflate);
  // An entry given in pieces. Its local header cannot know its sizes, so it
  // cannot hold 4 GiB or more: such an entry fails (kArchiveTooLarge).
  bool Begin(std::string_view name);
  bool Append(std::string_view piece);
  bool End();
  // The central directory and the end records (ZIP64 ones when needed).
  bool Finish();

  // Why the last call failed: kWriteFailed (the sink refused),
  // kArchiveTooLarge, kNoMemory; kWriteFailed too for an unsafe name.
  FileProblem Problem() const { return m_problem; }

private:
  struct Written {
    std::string name;
    std::uint16_t flags, method;
    std::uint32_t crc;
    std::uint64_t packedSize, size, offset;
  };
  bool Put(std::string_view bytes);
  bool Fail(FileProblem problem);
  bool LocalHeader(const Written& entry);
  bool Deflate(std::string_view piece, bool finish);
  void EndStream();

  WriteSink m_sink;
  std::uint64_t m_offset = 0;
  std::vector<Written> m_written;
  FileProblem m_problem = FileProblem::kNone;
  void* m_stream = nullptr;  // the z_stream of the entry being given in pieces
  std::string m_buffer;
};

}  // namespace zip
