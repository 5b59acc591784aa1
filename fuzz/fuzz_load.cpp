// Fuzz target for the .ftf reader and writer (ftf::Read and ftf::Write, which
// LoadFtf and SaveFtf wrap), in memory. Besides the sanitizers' findings, the target
// aborts when
//   - the read returns a code outside the table (1, 0, -1, -3, -4, -5), or a
//     failure without a problem kind, or success with one,
//   - a failed read leaves members behind,
//   - a loaded genealogy breaks the tree's rules (links, birth order, text
//     limits, dates),
//   - a genealogy with unique names does not come back the same after a write
//     and a second read (up to the order of children born on the same day);
//     the write may refuse it instead, naming a member and a reason.
#include "formats/ftf/FtfCodec.h"
#include "model/COperationClanbook.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_load: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

int Compare(const MemberNode& a, const MemberNode& b) {
  return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay);
}

using Row = std::tuple<std::u16string, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::u16string, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::u16string>;

// Walks the whole genealogy, checks its rules and returns one row per member.
// `unique` tells whether no two members share a name.
std::vector<Row> CheckedRows(const COperationClanbook& genealogy, bool& unique) {
  std::vector<Row> rows;
  std::unordered_set<std::u16string> names;
  unique = true;
  std::vector<const MemberNode*> stack;
  const MemberNode* root = genealogy.Root();
  Check(root != nullptr, "the read returned 1 and left no member");
  Check(root->parent == nullptr && root->nextSibling == nullptr,
        "the root has a father or a sibling");
  stack.push_back(root);
  while (!stack.empty()) {
    const MemberNode* m = stack.back();
    stack.pop_back();
    Check(!m->name.empty() && m->name.size() <= kMaxTextLength, "a name is empty or too long");
    Check(m->address.size() <= kMaxTextLength, "an address is too long");
    Check(m->name != u"end" || m == root, "a member other than the root is named end");
    Check(COperationClanbook::IsValidDate(m->birthYear, m->birthMonth, m->birthDay),
          "an invalid birth date was loaded");
    if (m->alive == 0) {
      Check(COperationClanbook::IsValidDate(m->deathYear, m->deathMonth, m->deathDay),
            "an invalid death date was loaded");
      Check(COperationClanbook::CompareDates(m->deathYear, m->deathMonth, m->deathDay, m->birthYear,
                                             m->birthMonth, m->birthDay) >= 0,
            "a death before the birth was loaded");
    }
    if (m->parent != nullptr) {
      Check(m->parent->name != m->name, "a member bears his father's name");
      Check(Compare(*m, *m->parent) >= 0, "a child born before his father was loaded");
    }
    unique = names.insert(m->name).second && unique;
    const bool alive = m->alive != 0;
    rows.emplace_back(m->name, m->birthYear, m->birthMonth, m->birthDay, m->married, m->address,
                      m->alive, alive ? 0 : m->deathYear, alive ? 0 : m->deathMonth,
                      alive ? 0 : m->deathDay, m->parent ? m->parent->name : u"-1");
    const std::size_t mark = stack.size();
    const MemberNode* previous = nullptr;
    for (const MemberNode* c = m->firstChild; c != nullptr; c = c->nextSibling) {
      Check(c->parent == m, "a child's father link is wrong");
      Check(previous == nullptr || Compare(*previous, *c) <= 0, "children out of birth order");
      previous = c;
      stack.push_back(c);
    }
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  COperationClanbook genealogy;
  const FileStatus read =
      ftf::Read(std::string_view(reinterpret_cast<const char*>(data), size), genealogy, {});
  Check((read.code == kFileOk) == (read.problem == FileProblem::kNone),
        "the result code and the problem kind disagree");
  switch (read.code) {
    case kFileOk:
      break;
    case kFileBadDate:
    case kFileBadRelation:
    case kFileCannotOpen:
    case kFileNoMemory:
    case kFileNoRoot:
      Check(genealogy.Root() == nullptr, "a failed load left members behind");
      return 0;
    default:
      Fail("the read returned a code outside the table");
  }

  bool unique = false;
  std::vector<Row> first = CheckedRows(genealogy, unique);
  // With shared names a saved file may attach a child to the other bearer of
  // the name, which the format allows; only unique names must round-trip.
  if (!unique) return 0;
  // The write may refuse a genealogy the format cannot carry back, naming the
  // member; whatever it writes must read back the same.
  std::string text;
  const FileStatus written = ftf::Write(genealogy, [&text](std::string_view piece) {
    text.append(piece);
    return true;
  });
  if (!written.Ok()) {
    Check(written.code == kFileCannotWrite && !written.detail.empty(),
          "a refused write names no member");
    Check(genealogy.Root()->name == u"-1", "a loaded genealogy of unique names is refused");
    return 0;
  }
  COperationClanbook again;
  Check(ftf::Read(text, again, {}).code == kFileOk, "a saved genealogy does not load again");
  bool uniqueAgain = false;
  std::vector<Row> second = CheckedRows(again, uniqueAgain);
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  Check(first == second, "a saved genealogy loads back different");
  return 0;
}
