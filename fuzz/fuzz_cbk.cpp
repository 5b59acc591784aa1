// Fuzz target for the .cbk reader's checks and row decoding (ReadCbkImage:
// the header, SQLite's own reading, the rows made into a tree and records),
// from memory. Besides the sanitizers' findings, the target aborts when
//   - a failed read gives no problem kind, or leaves members behind,
//   - a book read is no tree (a link that does not point back),
//   - a book read does not come back the same after a write and a second read.
// Seeds: any .cbk the program wrote (clanbook --convert IN.ftf OUT.cbk), in
// fuzz/corpus-cbk.
#include "formats/cbk/CbkBook.h"
#include "model/COperationClanbook.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_cbk: %s\n", what);
  std::abort();
}

// The tree in pre-order with its records, as text; checks the links on the way.
std::u16string Shape(const COperationClanbook& book) {
  std::u16string out;
  std::vector<const MemberNode*> pending;
  if (book.GetRootLink()) pending.push_back(book.GetRootLink());
  if (book.GetRootLink() && book.GetRootLink()->parent) Fail("the root has a father");
  while (!pending.empty()) {
    const MemberNode* m = pending.back();
    pending.pop_back();
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
      if (c->parent != m) Fail("a child does not point back to his father");
    const MemberRecord& r = m->extra.Record();
    out += m->name + u'|' + m->address + u'|' + r.courtesyName + u'|' + r.biography + u'|';
    out += static_cast<char16_t>(r.spouses.size() + r.sources.size() + r.photos.size());
    out += u'\n';
    if (m->nextSibling) pending.push_back(m->nextSibling);
    if (m->firstChild) pending.push_back(m->firstChild);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  COperationClanbook book;
  const FileStatus read = formats::ReadCbkImage(bytes, book);
  if (!read.Ok()) {
    if (read.problem == FileProblem::kNone) Fail("a failure without a problem kind");
    if (book.GetRootLink()) Fail("a failed read left members behind");
    return 0;
  }
  const std::u16string shape = Shape(book);
  std::string image;
  if (!formats::WriteCbkImage(book, image).Ok()) Fail("a book read could not be written");
  COperationClanbook again;
  if (!formats::ReadCbkImage(image, again).Ok()) Fail("a book written could not be read");
  if (Shape(again) != shape) Fail("a book changed on its way out and back");
  return 0;
}
