// bench_search [MEMBERS [GENERATIONS]]: the search index and the generation
// poem check on a generated clan book (default 2,000,000 members over 83
// generations, written into clanbench::BenchDir() when missing).
//
// The generated book spreads its members over 100 surnames. A real clan book
// is one surname, which makes the short queries a person types first ("w",
// "王", "wang") match nearly everybody; so the book is also searched with
// every surname replaced by 王, the worst case of a clan of Wangs.
//
// Every figure is printed with wall time and processor time of the process:
// the machine is shared, and processor time is what other programs do not
// inflate.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTimer.h"
#include "ClanGenerator.h"
#include "SearchTyping.h"
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"
#include "search/GenerationPoem.h"
#include "search/MemberSearch.h"

namespace {

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

using clanbench::Timer;

// The sequences a person types, one keystroke at a time.
const std::vector<std::u16string> kTyped = {
    u"wangjianguo", u"zhangsan", u"kongqiu", u"zhs",      u"wjg",      u"lh",  u"王建国",
    u"王",          u"建",       u"无锡",    u"苏州东街", u"xiaoming", u"abc",
};

MemberNode* Deepest(MemberNode* m) {
  while (m->firstChild) m = m->firstChild;
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  const long members = argc > 1 ? std::atol(argv[1]) : 2000000;
  const int generations = argc > 2 ? std::atoi(argv[2]) : 83;
  const std::filesystem::path file =
      clanbench::BenchDir() / ("search-" + std::to_string(members) + ".ftf");
  if (!std::filesystem::exists(file)) {
    clanbench::ClanSummary summary;
    std::string error;
    if (!clanbench::WriteClan(clanbench::Balanced(members, generations), file, summary, error)) {
      std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), error.c_str());
      return 1;
    }
  }
  COperationClanbook book;
  Timer load;
  if (formats::LoadFtf(file, book).code != kFileOk) {
    std::fprintf(stderr, "cannot load %s\n", file.c_str());
    return 1;
  }
  int count = book.CountMembers();
  std::printf("# bench_search: %s, %d members, loaded in %.0f ms\n", file.c_str(), count,
              load.WallMs());

  MemberSearchIndex index(book);
  const long peakBefore = PeakKiB();
  Timer build;
  index.Rebuild();
  const double buildWall = build.WallMs(), buildCpu = build.CpuMs();
  std::printf(
      "\nindex build: %.0f ms wall, %.0f ms cpu; index holds %.1f MiB; peak RSS %.0f -> "
      "%.0f MiB\n",
      buildWall, buildCpu, index.MemoryBytes() / 1048576.0, peakBefore / 1024.0,
      PeakKiB() / 1024.0);

  clanbench::WorstKeystroke worst;
  clanbench::TypeAll(index, "generated book (100 surnames)", kTyped, worst);

  // One clan: every surname becomes 王 (the first character of every name).
  std::vector<MemberNode*> everybody;
  book.VisitPreOrder(everybody, book.Root(),
                     [](std::vector<MemberNode*>& out, MemberNode* m) { out.push_back(m); });
  for (MemberNode* m : everybody) m->name[0] = u'王';
  Timer rebuild;
  index.Rebuild();
  std::printf("\nindex build, one clan: %.0f ms wall, %.0f ms cpu; %.1f MiB\n", rebuild.WallMs(),
              rebuild.CpuMs(), index.MemoryBytes() / 1048576.0);
  clanbench::TypeAll(index, "clan of Wangs", kTyped, worst);
  std::printf("\nworst keystroke: %.2f ms wall (%s), %.2f ms cpu\n", worst.wallMs,
              worst.where.c_str(), worst.cpuMs);

  // The generation poem: one character per generation, taken from the line of
  // a member of the last generation, so that the check meets every generation
  // and both kinds of members. The surname is given: the generated given names
  // of the first members all start alike, which would read as a compound one.
  std::printf("\n## generation poem\n\n");
  const std::u16string surname = u"王";
  MemberNode* last = book.Root();
  for (MemberNode* m : everybody)
    if (book.GetGeneration(m) > book.GetGeneration(last)) last = m;
  GenerationPoem poem;
  for (MemberNode* m = last; m; m = m->parent) {
    const std::u16string_view given = GivenName(m->name, surname);
    poem.characters.insert(poem.characters.begin(), given.empty() ? U'一' : given[0]);
  }
  Timer check;
  const std::size_t lacking = MembersWithoutGenerationCharacter(book, poem, surname).size();
  std::printf(
      "check of %zu generations over %d members: %zu lack their character; %.0f ms wall, "
      "%.0f ms cpu\n",
      poem.characters.size(), count, lacking, check.WallMs(), check.CpuMs());
  // Edits told to the index, and the first query after them.
  std::printf("\n## edits\n\n");
  Timer slots;
  index.MemberChanged(book.Root());  // unchanged: only looks the member up
  std::printf("first edit (makes the member -> position table): %.0f ms wall, %.0f ms cpu\n",
              slots.WallMs(), slots.CpuMs());
  MemberNode* deep = Deepest(book.Root());
  Timer add;
  for (int i = 0; i < 100; ++i) {
    auto* child = new MemberNode;
    child->name = u"王新" + std::u16string(1, static_cast<char16_t>(u'一' + i));
    child->birthYear = deep->birthYear + 20;
    child->birthMonth = child->birthDay = 1;
    book.InsertMember(deep, child);
    index.MemberAdded(child);
  }
  std::printf("100 children added: %.3f ms wall, %.3f ms cpu in all\n", add.WallMs(), add.CpuMs());
  MemberNode* middle = everybody[everybody.size() / 2];
  Timer change;
  MemberNode data = *middle;
  data.name = u"王改名";
  book.UpdateMemberData(middle, data);
  index.MemberChanged(middle);
  std::printf("one rename: %.3f ms wall, %.3f ms cpu\n", change.WallMs(), change.CpuMs());
  // A member with a large family: down from the root, always into the largest.
  const auto familySize = [&](MemberNode* m) {
    int size = 1;
    if (m->firstChild) size += book.CountMembers(m->firstChild);
    return size;
  };
  MemberNode* family = book.Root();
  while (familySize(family) > 300000) {
    MemberNode* largest = family->firstChild;
    for (MemberNode* c = family->firstChild; c; c = c->nextSibling)
      if (familySize(c) > familySize(largest)) largest = c;
    family = largest;
  }
  const int below = familySize(family) - 1;
  Timer remove;
  index.MemberAboutToBeRemoved(family);
  const double removeWall = remove.WallMs(), removeCpu = remove.CpuMs();
  book.DeleteMember(family);
  std::printf("removal of a member with %d below him: %.1f ms wall, %.1f ms cpu\n", below,
              removeWall, removeCpu);
  index.Find(u"");
  Timer after;
  const std::size_t hits = index.Find(u"w").size();
  std::printf(
      "first query after the edits (\"w\", %zu hits, journal of %zu): %.2f ms wall, "
      "%.2f ms cpu\n",
      hits, index.JournalSize(), after.WallMs(), after.CpuMs());
  std::printf("\npeak RSS of the process: %.0f MiB\n", PeakKiB() / 1024.0);
  return 0;
}
