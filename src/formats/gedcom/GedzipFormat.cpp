#include "formats/gedcom/GedzipFormat.h"

#include <map>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "formats/gedcom/GedcomDetail.h"
#include "formats/io/Zip.h"
#include "model/COperationClanbook.h"

namespace formats {

namespace {

// The names the GEDZIP archive gives its parts.
constexpr std::string_view kGedcomEntry = "gedcom.ged";
constexpr std::string_view kMediaFolder = "media";
// A gedcom.ged that would inflate past this is refused unread: far beyond
// any book (two million members make 520 MB) and no bomb fills memory.
constexpr std::uint64_t kMaxGedcomBytes = std::uint64_t{4} << 30;

FileProblem GedcomOf(const zip::ZipReader& archive, std::string& text) {
  const zip::ZipEntry* entry = archive.Find(kGedcomEntry);
  if (!entry) return FileProblem::kNoGedcomInArchive;
  return archive.Extract(*entry, kMaxGedcomBytes, text);
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The entry a FILE reference names: the path as written, or as a URI with
// %XX escapes ("my%20photo.jpg"). Nothing else is tried: a reference outside
// the archive names nothing in it.
const zip::ZipEntry* EntryOf(const zip::ZipReader& archive, std::string_view reference) {
  if (reference.substr(0, 2) == "./") reference.remove_prefix(2);
  if (const zip::ZipEntry* entry = archive.Find(reference)) return entry;
  std::string decoded;
  for (std::size_t i = 0; i < reference.size(); ++i) {
    if (reference[i] == '%' && i + 2 < reference.size() && Hex(reference[i + 1]) >= 0 &&
        Hex(reference[i + 2]) >= 0) {
      decoded += static_cast<char>(Hex(reference[i + 1]) * 16 + Hex(reference[i + 2]));
      i += 2;
    } else {
      decoded += reference[i];
    }
  }
  return decoded != reference ? archive.Find(decoded) : nullptr;
}

ReadResult Refused(FileProblem problem) {
  return Failure(problem == FileProblem::kNoMemory ? kFileNoMemory : kFileCannotOpen, problem);
}

WriteResult NotWritten(FileProblem problem) {
  return Failure(kFileCannotWrite,
                 problem == FileProblem::kNone ? FileProblem::kWriteFailed : problem);
}

// Pictures already compressed are stored: deflating them again costs time
// and gains nothing.
bool Compressible(std::string_view kind) {
  return kind.empty() || kind == "bmp" || kind == "tif";
}

}  // namespace

FileProblem GedzipText(std::string_view archive, std::string& text) {
  zip::ZipReader reader;
  FileProblem problem = reader.Open(archive);
  if (problem == FileProblem::kNone) problem = GedcomOf(reader, text);
  return problem;
}

ReadResult GedzipFormat::Read(std::string_view bytes, COperationClanbook& out,
                              const ReadProgress& progress) {
  out.Clear();
  m_gedcom = GedcomFormat(gedcom::GedcomVersion::v7_0);
  zip::ZipReader archive;
  std::string text;
  FileProblem problem = archive.Open(bytes);
  if (problem == FileProblem::kNone) problem = GedcomOf(archive, text);
  if (problem != FileProblem::kNone) return Refused(problem);

  // A picture named twice is read once and shared.
  std::map<const zip::ZipEntry*, std::shared_ptr<const std::string>> read;
  FileProblem pictures = FileProblem::kNone;
  m_gedcom.options = options;
  m_gedcom.options.mediaFolder.reset();
  m_gedcom.options.mediaReader =
      [&](std::string_view reference) -> std::shared_ptr<const std::string> {
    const zip::ZipEntry* entry = EntryOf(archive, reference);
    // Too large for a portrait: named in the report, as beside a .ged.
    if (!entry || entry->size > gedcom::detail::kMaxPictureBytes) return nullptr;
    std::shared_ptr<const std::string>& slot = read[entry];
    if (slot) return slot;
    std::string picture;
    if (const FileProblem p = archive.Extract(*entry, gedcom::detail::kMaxPictureBytes, picture);
        p != FileProblem::kNone) {
      if (pictures == FileProblem::kNone) pictures = p;
      return nullptr;
    }
    slot = std::make_shared<const std::string>(std::move(picture));
    return slot;
  };
  ReadResult result = m_gedcom.Read(text, out, progress);
  m_gedcom.options.mediaReader = nullptr;  // it refers to this call's archive
  if (result.Ok() && pictures != FileProblem::kNone) {
    out.Clear();
    return Refused(pictures);
  }
  return result;
}

WriteResult GedzipFormat::Write(const COperationClanbook& genealogy, const WriteSink& sink) {
  if (!genealogy.Root()) return Failure(kFileCannotWrite, FileProblem::kNothingToSave);
  struct Pending {
    std::string name;
    std::string kind;
    Photo photo;
  };
  std::vector<Pending> pending;
  zip::ZipWriter archive(sink);
  GedcomFormat gedcom(gedcom::GedcomVersion::v7_0);
  // The picture's bytes are needed now for its kind, which names its file;
  // they go into the archive once gedcom.ged is whole.
  gedcom.media = [&](const gedcom::MediaItem& item, std::string& file, std::string& kind) {
    const Photo& photo = item.photo;
    std::string bytes;
    if (!photo.bytes && (!photos || !photos(photo, bytes))) {
      if (leftOut) leftOut(item);
      return false;
    }
    kind = std::string(gedcom::detail::PictureKind(photo.bytes ? *photo.bytes : bytes));
    file = gedcom::detail::PictureFileName(kMediaFolder, item.number, kind);
    pending.push_back({file, kind, photo});
    return true;
  };
  try {
    if (!archive.Begin(kGedcomEntry)) return NotWritten(archive.Problem());
    const WriteResult text =
        gedcom.Write(genealogy, [&](std::string_view piece) { return archive.Append(piece); });
    if (!text.Ok()) {
      if (archive.Problem() != FileProblem::kNone) return NotWritten(archive.Problem());
      return text;
    }
    if (!archive.End()) return NotWritten(archive.Problem());
    for (const Pending& picture : pending) {
      std::string bytes;
      if (!picture.photo.bytes && !photos(picture.photo, bytes))
        return NotWritten(FileProblem::kWriteFailed);
      if (!archive.AddWhole(picture.name, picture.photo.bytes ? *picture.photo.bytes : bytes,
                            Compressible(picture.kind)))
        return NotWritten(archive.Problem());
    }
    if (!archive.Finish()) return NotWritten(archive.Problem());
  } catch (const std::bad_alloc&) {
    return NotWritten(FileProblem::kNoMemory);
  }
  return {};
}

const char* DescribeArchiveProblem(FileProblem problem) {
  switch (problem) {
    case FileProblem::kDamagedArchive:
      return "no ZIP archive, or one cut short or damaged";
    case FileProblem::kUnsafeArchive:
      return "the archive names a file outside itself, holds too many files or one too large";
    case FileProblem::kUnsupportedArchive:
      return "the archive is encrypted, compressed other than by deflate, or split";
    case FileProblem::kNoGedcomInArchive:
      return "the archive holds no gedcom.ged at its root";
    case FileProblem::kNoMemory:
      return "memory ran out";
    default:
      return "the file cannot be opened";
  }
}

}  // namespace formats
