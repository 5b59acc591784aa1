#include "formats/io/Zip.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace zip {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEnd64Signature = 0x06064b50;
constexpr std::uint32_t kLocator64Signature = 0x07064b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEnd64Size = 56;
constexpr std::size_t kLocator64Size = 20;
constexpr std::uint16_t kZip64Extra = 0x0001;
constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint16_t kMax16 = 0xFFFFu;

constexpr std::uint16_t kEncrypted = 0x0001;
constexpr std::uint16_t kHasDescriptor = 0x0008;
constexpr std::uint16_t kStrongEncryption = 0x0040;
constexpr std::uint16_t kUtf8Name = 0x0800;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
// 1 January 1980, 00:00, the first day a ZIP can name.
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint16_t kDosTime = 0;
// Made by a Unix program following APPNOTE 6.3, so that unzip gives the
// files the permissions of the external attributes: rw-r--r--.
constexpr std::uint16_t kMadeBy = (3 << 8) | 63;
constexpr std::uint32_t kRegularFile = 0100644u << 16;

std::uint16_t Get16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}
std::uint32_t Get32(std::string_view bytes, std::size_t at) {
  return Get16(bytes, at) | static_cast<std::uint32_t>(Get16(bytes, at + 2)) << 16;
}
std::uint64_t Get64(std::string_view bytes, std::size_t at) {
  return Get32(bytes, at) | static_cast<std::uint64_t>(Get32(bytes, at + 4)) << 32;
}

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}
void Put64(std::string& out, std::uint64_t v) {
  Put32(out, static_cast<std::uint32_t>(v & kMax32));
  Put32(out, static_cast<std::uint32_t>(v >> 32));
}
std::uint32_t Clamp32(std::uint64_t v) {
  return v >= kMax32 ? kMax32 : static_cast<std::uint32_t>(v);
}

std::uint32_t Crc(std::uint32_t crc, std::string_view bytes) {
  // zlib takes lengths of type uInt: long inputs go in slices.
  while (!bytes.empty()) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 1u << 30);
    crc = static_cast<std::uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n)));
    bytes.remove_prefix(n);
  }
  return crc;
}

bool Within(std::uint64_t offset, std::uint64_t length, std::uint64_t end) {
  return offset <= end && length <= end - offset;
}

}  // namespace

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name.front() == '/') return false;
  if (name.size() >= 2 && name[1] == ':') return false;  // C:, a drive
  for (const char c : name)
    if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view part = name.substr(start, end - start);
    // An empty part only ends a folder's name ("media/").
    if (part == "." || part == ".." || (part.empty() && end != name.size())) return false;
    start = end + 1;
  }
  return true;
}

// ---- Reading ---------------------------------------------------------------

FileProblem ZipReader::Open(std::string_view archive, std::size_t maxEntries) {
  m_archive = archive;
  m_entries.clear();
  m_byName.clear();
  const std::uint64_t size = archive.size();
  if (size < kEndSize) return FileProblem::kDamagedArchive;
  // The end record is the last thing in the archive, before a comment of at
  // most 65,535 bytes whose length it gives.
  std::size_t end = std::string_view::npos;
  const std::size_t lowest = size - kEndSize > kMax16 ? size - kEndSize - kMax16 : 0;
  for (std::size_t at = size - kEndSize + 1; at-- > lowest;)
    if (Get32(archive, at) == kEndSignature && at + kEndSize + Get16(archive, at + 20) == size) {
      end = at;
      break;
    }
  if (end == std::string_view::npos) return FileProblem::kDamagedArchive;
  if (Get16(archive, end + 4) != 0 || Get16(archive, end + 6) != 0)
    return FileProblem::kUnsupportedArchive;
  std::uint64_t count = Get16(archive, end + 10);
  std::uint64_t directorySize = Get32(archive, end + 12);
  std::uint64_t directory = Get32(archive, end + 16);
  std::uint64_t directoryEnd = end;
  if (end >= kLocator64Size && Get32(archive, end - kLocator64Size) == kLocator64Signature) {
    const std::size_t locator = end - kLocator64Size;
    const std::uint64_t record = Get64(archive, locator + 8);
    if (Get32(archive, locator + 4) != 0 || Get32(archive, locator + 16) > 1)
      return FileProblem::kUnsupportedArchive;
    if (!Within(record, kEnd64Size, locator) || Get32(archive, record) != kEnd64Signature)
      return FileProblem::kDamagedArchive;
    if (Get32(archive, record + 16) != 0 || Get32(archive, record + 20) != 0)
      return FileProblem::kUnsupportedArchive;
    count = Get64(archive, record + 32);
    directorySize = Get64(archive, record + 40);
    directory = Get64(archive, record + 48);
    directoryEnd = record;
  } else if (count == kMax16 || directorySize == kMax32 || directory == kMax32) {
    return FileProblem::kDamagedArchive;  // ZIP64 values without their record
  }
  if (count > maxEntries) return FileProblem::kUnsafeArchive;
  if (!Within(directory, directorySize, directoryEnd) || count > directorySize / kCentralHeaderSize)
    return FileProblem::kDamagedArchive;
  try {
    m_entries.reserve(static_cast<std::size_t>(count));
    std::size_t at = static_cast<std::size_t>(directory);
    for (std::uint64_t i = 0; i < count; ++i)
      if (const FileProblem p = ReadEntry(at, directory + directorySize, directory);
          p != FileProblem::kNone) {
        m_entries.clear();
        m_byName.clear();
        return p;
      }
  } catch (const std::bad_alloc&) {
    m_entries.clear();
    m_byName.clear();
    return FileProblem::kNoMemory;
  }
  return FileProblem::kNone;
}

FileProblem ZipReader::ReadEntry(std::size_t& at, std::uint64_t directoryEnd,
                                 std::uint64_t dataEnd) {
  const std::string_view a = m_archive;
  if (!Within(at, kCentralHeaderSize, directoryEnd) || Get32(a, at) != kCentralSignature)
    return FileProblem::kDamagedArchive;
  ZipEntry e;
  e.flags = Get16(a, at + 8);
  e.method = Get16(a, at + 10);
  e.crc = Get32(a, at + 16);
  e.packedSize = Get32(a, at + 20);
  e.size = Get32(a, at + 24);
  const std::size_t nameLength = Get16(a, at + 28);
  const std::size_t extraLength = Get16(a, at + 30);
  const std::size_t commentLength = Get16(a, at + 32);
  const std::uint32_t disk = Get16(a, at + 34);
  std::uint64_t local = Get32(a, at + 42);
  const std::size_t name = at + kCentralHeaderSize;
  const std::size_t extra = name + nameLength;
  if (!Within(at, kCentralHeaderSize + nameLength + extraLength + commentLength, directoryEnd))
    return FileProblem::kDamagedArchive;
  e.name.assign(a.substr(name, nameLength));
  // The ZIP64 extra field holds, in this order, each value whose classic
  // field is full.
  for (std::size_t x = extra; x + 4 <= extra + extraLength;) {
    const std::uint16_t id = Get16(a, x);
    const std::size_t length = Get16(a, x + 2);
    if (x + 4 + length > extra + extraLength) return FileProblem::kDamagedArchive;
    if (id == kZip64Extra) {
      std::size_t v = x + 4;
      for (std::uint64_t* field : {&e.size, &e.packedSize, &local}) {
        if (*field != kMax32) continue;
        if (v + 8 > x + 4 + length) return FileProblem::kDamagedArchive;
        *field = Get64(a, v);
        v += 8;
      }
    }
    x += 4 + length;
  }
  at += kCentralHeaderSize + nameLength + extraLength + commentLength;
  if (disk != 0 && disk != kMax16) return FileProblem::kUnsupportedArchive;
  if (!IsSafeEntryName(e.name)) return FileProblem::kUnsafeArchive;
  // The local header must name the same entry, and its bytes must lie
  // before the central directory.
  if (!Within(local, kLocalHeaderSize, dataEnd) || Get32(a, local) != kLocalSignature)
    return FileProblem::kDamagedArchive;
  const std::size_t l = static_cast<std::size_t>(local);
  const std::size_t localName = Get16(a, l + 26);
  const std::size_t localExtra = Get16(a, l + 28);
  e.dataOffset = local + kLocalHeaderSize + localName + localExtra;
  if (localName != nameLength || !Within(local + kLocalHeaderSize, localName, dataEnd) ||
      a.substr(l + kLocalHeaderSize, localName) != e.name ||
      !Within(e.dataOffset, e.packedSize, dataEnd))
    return FileProblem::kDamagedArchive;
  m_entries.push_back(std::move(e));
  // Two entries of one name: which one the GEDCOM means cannot be known.
  if (!m_byName.emplace(m_entries.back().name, m_entries.size() - 1).second)
    return FileProblem::kDamagedArchive;
  return FileProblem::kNone;
}

const ZipEntry* ZipReader::Find(std::string_view name) const {
  const auto found = m_byName.find(name);
  return found == m_byName.end() ? nullptr : &m_entries[found->second];
}

FileProblem ZipReader::Extract(const ZipEntry& entry, std::uint64_t maxBytes,
                               std::string& out) const {
  out.clear();
  if (entry.flags & (kEncrypted | kStrongEncryption)) return FileProblem::kUnsupportedArchive;
  if (entry.method != kStored && entry.method != kDeflated) return FileProblem::kUnsupportedArchive;
  if (entry.size > maxBytes || entry.size > std::numeric_limits<std::size_t>::max() / 2)
    return FileProblem::kUnsafeArchive;
  const std::string_view packed = m_archive.substr(static_cast<std::size_t>(entry.dataOffset),
                                                   static_cast<std::size_t>(entry.packedSize));
  FileProblem problem = FileProblem::kNone;
  try {
    if (entry.method == kStored) {
      if (entry.packedSize != entry.size) return FileProblem::kDamagedArchive;
      out.assign(packed);
    } else {
      out.resize(static_cast<std::size_t>(entry.size));
      z_stream z{};
      if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return FileProblem::kNoMemory;
      std::string_view in = packed;
      std::size_t done = 0;
      int status = Z_OK;
      // One byte of room more than declared: an entry that inflates past its
      // size is caught as soon as it does, whatever it would go on to make.
      char spare = 0;
      while (status == Z_OK) {
        const std::size_t inSlice = std::min<std::size_t>(in.size(), 1u << 30);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(inSlice);
        const bool room = done < out.size();
        const std::size_t outSlice = room ? std::min<std::size_t>(out.size() - done, 1u << 30) : 1;
        z.next_out = reinterpret_cast<Bytef*>(room ? out.data() + done : &spare);
        z.avail_out = static_cast<uInt>(outSlice);
        status = inflate(&z, Z_NO_FLUSH);
        const std::size_t made = outSlice - z.avail_out;
        in.remove_prefix(inSlice - z.avail_in);
        if (!room && made) {
          problem = FileProblem::kDamagedArchive;  // more than it declared
          break;
        }
        done += made;
      }
      inflateEnd(&z);
      if (problem == FileProblem::kNone && (status != Z_STREAM_END || done != out.size()))
        problem = FileProblem::kDamagedArchive;
    }
  } catch (const std::bad_alloc&) {
    problem = FileProblem::kNoMemory;
  }
  if (problem == FileProblem::kNone && Crc(0, out) != entry.crc)
    problem = FileProblem::kDamagedArchive;
  if (problem != FileProblem::kNone) std::string().swap(out);
  return problem;
}

// ---- Writing ---------------------------------------------------------------

ZipWriter::~ZipWriter() {
  EndStream();
}

void ZipWriter::EndStream() {
  if (!m_stream) return;
  deflateEnd(static_cast<z_stream*>(m_stream));
  delete static_cast<z_stream*>(m_stream);
  m_stream = nullptr;
}

bool ZipWriter::Fail(FileProblem problem) {
  if (m_problem == FileProblem::kNone) m_problem = problem;
  EndStream();
  return false;
}

bool ZipWriter::Put(std::string_view bytes) {
  if (m_problem != FileProblem::kNone) return false;
  if (!m_sink(bytes)) return Fail(FileProblem::kWriteFailed);
  m_offset += bytes.size();
  return true;
}

bool ZipWriter::LocalHeader(const Written& e) {
  const bool zip64 = e.size >= kMax32 || e.packedSize >= kMax32;
  std::string h;
  Put32(h, kLocalSignature);
  Put16(h, zip64 ? 45 : 20);
  Put16(h, e.flags);
  Put16(h, e.method);
  Put16(h, kDosTime);
  Put16(h, kDosDate);
  Put32(h, e.crc);
  Put32(h, zip64 ? kMax32 : static_cast<std::uint32_t>(e.packedSize));
  Put32(h, zip64 ? kMax32 : static_cast<std::uint32_t>(e.size));
  Put16(h, static_cast<std::uint16_t>(e.name.size()));
  Put16(h, zip64 ? 20 : 0);
  h += e.name;
  if (zip64) {
    Put16(h, kZip64Extra);
    Put16(h, 16);
    Put64(h, e.size);
    Put64(h, e.packedSize);
  }
  return Put(h);
}

bool ZipWriter::AddWhole(std::string_view name, std::string_view bytes, bool deflate) {
  if (m_problem != FileProblem::kNone || m_stream) return false;
  if (!IsSafeEntryName(name) || name.size() > kMax16) return Fail(FileProblem::kWriteFailed);
  try {
    Written e{std::string(name), kUtf8Name,    kStored, Crc(0, bytes),
              bytes.size(),      bytes.size(), m_offset};
    std::string packed;
    if (deflate && !bytes.empty()) {
      z_stream z{};
      if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
          Z_OK)
        return Fail(FileProblem::kNoMemory);
      packed.resize(deflateBound(&z, static_cast<uLong>(bytes.size())));
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
      z.avail_in = static_cast<uInt>(bytes.size());
      z.next_out = reinterpret_cast<Bytef*>(packed.data());
      z.avail_out = static_cast<uInt>(packed.size());
      const bool whole = bytes.size() < kMax32 && ::deflate(&z, Z_FINISH) == Z_STREAM_END;
      packed.resize(whole ? z.total_out : 0);
      deflateEnd(&z);
      if (whole && packed.size() < bytes.size()) {
        e.method = kDeflated;
        e.packedSize = packed.size();
      }
    }
    m_written.push_back(e);
    return LocalHeader(e) && Put(e.method == kDeflated ? std::string_view(packed) : bytes);
  } catch (const std::bad_alloc&) {
    return Fail(FileProblem::kNoMemory);
  }
}

bool ZipWriter::Begin(std::string_view name) {
  if (m_problem != FileProblem::kNone || m_stream) return false;
  if (!IsSafeEntryName(name) || name.size() > kMax16) return Fail(FileProblem::kWriteFailed);
  try {
    auto* z = new z_stream{};
    if (deflateInit2(z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
      delete z;
      return Fail(FileProblem::kNoMemory);
    }
    m_stream = z;
    m_written.push_back(
        {std::string(name), kUtf8Name | kHasDescriptor, kDeflated, 0, 0, 0, m_offset});
    m_buffer.resize(1 << 16);
  } catch (const std::bad_alloc&) {
    return Fail(FileProblem::kNoMemory);
  }
  return LocalHeader(m_written.back());
}

bool ZipWriter::Deflate(std::string_view piece, bool finish) {
  auto* z = static_cast<z_stream*>(m_stream);
  Written& e = m_written.back();
  while (true) {
    const std::size_t slice = std::min<std::size_t>(piece.size(), 1u << 30);
    z->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
    z->avail_in = static_cast<uInt>(slice);
    z->next_out = reinterpret_cast<Bytef*>(m_buffer.data());
    z->avail_out = static_cast<uInt>(m_buffer.size());
    const bool last = finish && slice == piece.size();
    const int status = deflate(z, last ? Z_FINISH : Z_NO_FLUSH);
    if (status == Z_STREAM_ERROR) return Fail(FileProblem::kNoMemory);
    piece.remove_prefix(slice - z->avail_in);
    const std::size_t made = m_buffer.size() - z->avail_out;
    e.packedSize += made;
    if (e.packedSize >= kMax32) return Fail(FileProblem::kArchiveTooLarge);
    if (made && !Put(std::string_view(m_buffer.data(), made))) return false;
    if (last && status == Z_STREAM_END) return true;
    if (!last && piece.empty() && z->avail_out != 0) return true;
  }
}

bool ZipWriter::Append(std::string_view piece) {
  if (m_problem != FileProblem::kNone || !m_stream) return false;
  Written& e = m_written.back();
  e.size += piece.size();
  if (e.size >= kMax32) return Fail(FileProblem::kArchiveTooLarge);
  e.crc = Crc(e.crc, piece);
  return piece.empty() || Deflate(piece, false);
}

bool ZipWriter::End() {
  if (m_problem != FileProblem::kNone || !m_stream) return false;
  if (!Deflate({}, true)) return false;
  EndStream();
  const Written& e = m_written.back();
  std::string d;
  Put32(d, kDescriptorSignature);
  Put32(d, e.crc);
  Put32(d, static_cast<std::uint32_t>(e.packedSize));
  Put32(d, static_cast<std::uint32_t>(e.size));
  return Put(d);
}

bool ZipWriter::Finish() {
  if (m_problem != FileProblem::kNone || m_stream) return false;
  const std::uint64_t directory = m_offset;
  try {
    std::string h;
    for (const Written& e : m_written) {
      h.clear();
      std::string extra;
      if (e.size >= kMax32) Put64(extra, e.size);
      if (e.packedSize >= kMax32) Put64(extra, e.packedSize);
      if (e.offset >= kMax32) Put64(extra, e.offset);
      Put32(h, kCentralSignature);
      Put16(h, kMadeBy);
      Put16(h, extra.empty() ? 20 : 45);
      Put16(h, e.flags);
      Put16(h, e.method);
      Put16(h, kDosTime);
      Put16(h, kDosDate);
      Put32(h, e.crc);
      Put32(h, Clamp32(e.packedSize));
      Put32(h, Clamp32(e.size));
      Put16(h, static_cast<std::uint16_t>(e.name.size()));
      Put16(h, static_cast<std::uint16_t>(extra.empty() ? 0 : extra.size() + 4));
      Put16(h, 0);  // comment
      Put16(h, 0);  // disk
      Put16(h, 0);  // internal attributes
      Put32(h, kRegularFile);
      Put32(h, Clamp32(e.offset));
      h += e.name;
      if (!extra.empty()) {
        Put16(h, kZip64Extra);
        Put16(h, static_cast<std::uint16_t>(extra.size()));
        h += extra;
      }
      if (!Put(h)) return false;
    }
    const std::uint64_t directorySize = m_offset - directory;
    const std::uint64_t count = m_written.size();
    h.clear();
    if (count >= kMax16 || directorySize >= kMax32 || directory >= kMax32) {
      const std::uint64_t record = m_offset;
      Put32(h, kEnd64Signature);
      Put64(h, kEnd64Size - 12);
      Put16(h, kMadeBy);
      Put16(h, 45);
      Put32(h, 0);
      Put32(h, 0);
      Put64(h, count);
      Put64(h, count);
      Put64(h, directorySize);
      Put64(h, directory);
      Put32(h, kLocator64Signature);
      Put32(h, 0);
      Put64(h, record);
      Put32(h, 1);
    }
    Put32(h, kEndSignature);
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, static_cast<std::uint16_t>(std::min<std::uint64_t>(count, kMax16)));
    Put16(h, static_cast<std::uint16_t>(std::min<std::uint64_t>(count, kMax16)));
    Put32(h, Clamp32(directorySize));
    Put32(h, Clamp32(directory));
    Put16(h, 0);
    return Put(h);
  } catch (const std::bad_alloc&) {
    return Fail(FileProblem::kNoMemory);
  }
}

}  // namespace zip
