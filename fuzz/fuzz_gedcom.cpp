// Fuzz target for the GEDCOM import, straight from memory. Besides the
// sanitizers' findings, the target aborts when
//   - a failed import changes the genealogy it was given,
//   - an imported genealogy breaks the rules the .ftf file demands (unique,
//     storable names; valid dates; no child before his father, no death
//     before the birth),
//   - the root chosen without a choice brings in fewer members than the
//     first root candidate says,
//   - exporting the import and importing that again gives another tree.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "formats/gedcom/Gedcom.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_gedcom: %s\n", what);
  std::abort();
}

void Check(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// The tree as text, checking its rules on the way.
std::u16string Checked(const COperationClanbook& tree) {
  std::u16string out;
  std::unordered_set<std::u16string> names;
  std::vector<const MemberNode*> stack{tree.Root()};
  Check(stack.back() != nullptr, "an import succeeded with no member");
  while (!stack.empty()) {
    const MemberNode* m = stack.back();
    stack.pop_back();
    Check(COperationClanbook::IsStorableName(m->name), "a name cannot be stored");
    Check(COperationClanbook::IsStorableAddress(m->address), "an address cannot be stored");
    Check(names.insert(m->name).second, "a name is borne twice");
    Check(m->name != u"end" && m->name != u"-1", "a name the file reserves");
    Check(COperationClanbook::IsValidDate(m->birthYear, m->birthMonth, m->birthDay),
          "an invalid birth date");
    if (!m->alive) {
      Check(COperationClanbook::IsValidDate(m->deathYear, m->deathMonth, m->deathDay),
            "an invalid death date");
      Check(COperationClanbook::CompareDates(m->deathYear, m->deathMonth, m->deathDay, m->birthYear,
                                             m->birthMonth, m->birthDay) >= 0,
            "a death before the birth");
    }
    if (m->parent) Check(CompareBirthDates(*m, *m->parent) >= 0, "a child born before his father");
    out += m->name + u"|" + std::u16string(m->address) + u"|";
    for (std::int32_t v :
         {m->birthYear, m->birthMonth, m->birthDay, m->married, m->alive,
          m->alive ? 0 : m->deathYear, m->alive ? 0 : m->deathMonth, m->alive ? 0 : m->deathDay})
      for (char c : std::to_string(v) + " ") out += static_cast<char16_t>(c);
    out += u"(";
    const MemberNode* previous = nullptr;
    std::vector<const MemberNode*> kids;
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) {
      Check(c->parent == m, "a child's father link is wrong");
      Check(!previous || CompareBirthDates(*previous, *c) <= 0, "children out of birth order");
      previous = c;
      kids.push_back(c);
      out += c->name + u",";
    }
    out += u")\n";
    stack.insert(stack.end(), kids.rbegin(), kids.rend());
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  COperationClanbook tree;
  auto* sentinel = new MemberNode;
  sentinel->name = u"sentinel";
  sentinel->birthMonth = sentinel->birthDay = 1;
  tree.InsertMember(nullptr, sentinel);
  gedcom::GedcomImportReport report;
  const gedcom::GedcomResult result = gedcom::ReadGedcom(bytes, {}, tree, report);
  if (!result) {
    Check(tree.Root() == sentinel && !sentinel->firstChild,
          "a failed import changed the genealogy");
    Check(!result.detail.empty(), "a failure without a reason");
    return 0;
  }
  const std::u16string first = Checked(tree);
  std::vector<gedcom::GedcomRootCandidate> candidates;
  Check(static_cast<bool>(gedcom::ListRootCandidates(bytes, candidates)),
        "candidates fail where the import succeeded");
  Check(!candidates.empty() && candidates.front().members == report.members &&
            candidates.front().xref == report.rootXref,
        "the chosen root is not the first candidate");
  for (gedcom::GedcomVersion version :
       {gedcom::GedcomVersion::v7_0, gedcom::GedcomVersion::v5_5_1}) {
    std::string text;
    gedcom::WriteGedcom(tree, version, text);
    COperationClanbook again;
    gedcom::GedcomImportReport second;
    gedcom::GedcomImportOptions options;
    options.rootXref = "@I1@";
    Check(static_cast<bool>(gedcom::ReadGedcom(text, options, again, second)),
          "an export does not import");
    Check(second.members == report.members, "an export brings in other members");
    (void)Checked(again);
  }
  return 0;
}
