// Fuzz target for the GEDZIP reader (.gdz: the ZIP archive and the GEDCOM in
// it), straight from memory. Besides the sanitizers' findings, the target
// aborts when
//   - a refused archive gives no problem kind, or leaves members behind,
//   - an entry the directory lists cannot be looked up by its name, or is
//     named outside the archive,
//   - an entry comes out larger than the limit it was read under,
//   - an archive read is not read the same again once written.
// Seeds: any .gdz the program wrote (clanbook --convert IN.cbk OUT.gdz), in
// fuzz/corpus-gedzip.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/gedcom/GedzipFormat.h"
#include "formats/io/Zip.h"
#include "model/COperationClanbook.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_gedzip: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// The members and the sizes of their pictures, as text.
std::u16string Shape(const COperationClanbook& book) {
  std::u16string out;
  book.VisitPreOrder(out, book.Root(), [](std::u16string& text, MemberNode* m) {
    text += m->name + u'|';
    for (const Photo& p : m->extra.Record().photos)
      text += static_cast<char16_t>(p.bytes ? p.bytes->size() % 0xD000 : 0);
    text += u'\n';
  });
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The archive alone: every entry listed is found by its name and is safe;
  // none inflates past the limit it is read under.
  zip::ZipReader archive;
  if (archive.Open(bytes) == FileProblem::kNone) {
    for (const zip::ZipEntry& entry : archive.Entries()) {
      Check(zip::IsSafeEntryName(entry.name), "an unsafe name was listed");
      Check(archive.Find(entry.name) == &entry, "an entry is not found by its name");
      std::string out;
      const FileProblem p = archive.Extract(entry, 1 << 16, out);
      Check(out.size() <= (1 << 16), "an entry came out past its limit");
      Check(p == FileProblem::kNone || out.empty(), "a refused entry left bytes behind");
    }
  }
  // The import.
  COperationClanbook book;
  formats::GedzipFormat format;
  const FileStatus read = format.Read(bytes, book, {});
  if (!read.Ok()) {
    Check(read.problem != FileProblem::kNone, "a failure without a problem kind");
    Check(book.Root() == nullptr, "a failed read left members behind");
    return 0;
  }
  const std::u16string shape = Shape(book);
  std::string written;
  formats::GedzipFormat writer;
  Check(writer.Write(book, written).Ok(), "a book read could not be written");
  COperationClanbook again;
  formats::GedzipFormat reader;
  reader.options.rootXref = "@I1@";
  Check(reader.Read(written, again, {}).Ok(), "an archive written could not be read");
  Check(Shape(again) == shape, "a book changed on its way out and back");
  return 0;
}
