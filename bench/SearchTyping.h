// Find-as-you-type as a person does it: queries typed one keystroke at a
// time into MemberSearchIndex, each keystroke timed, and the same query again
// with nothing typed before (pasted). Shared by bench_search and bench_cbk.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTimer.h"
#include "ClanGenerator.h"
#include "search/MemberSearch.h"

namespace clanbench {

// The slowest keystroke seen: wall time (and what was typed), processor time.
struct WorstKeystroke {
  double wallMs = 0, cpuMs = 0;
  std::string where;
  void Note(double wall, double cpu, const std::string& what) {
    if (wall > wallMs) {
      wallMs = wall;
      where = what;
    }
    if (cpu > cpuMs) cpuMs = cpu;
  }
};

// Types each of `typed` and prints a table of every keystroke under `title`.
inline void TypeAll(MemberSearchIndex& index, const char* title,
                    const std::vector<std::u16string>& typed, WorstKeystroke& worst) {
  std::printf(
      "\n## typing in the %s\n\n| query | hits | wall ms | cpu ms | cold wall ms |\n"
      "|---|---|---|---|---|\n",
      title);
  for (const std::u16string& text : typed) {
    index.Find(u"");  // a fresh search box
    std::size_t i = 0;
    while (i < text.size()) {
      // A character outside the Basic Multilingual Plane is one keystroke.
      i += (text[i] >= 0xD800 && text[i] < 0xDC00) ? 2 : 1;
      const std::u16string query = text.substr(0, i);
      Timer t;
      const std::size_t hits = index.Find(query).size();
      const double wall = t.WallMs(), cpu = t.CpuMs();
      // The same query with nothing typed before, as when it is pasted.
      index.Find(u"");
      Timer cold;
      index.Find(query);
      const double coldWall = cold.WallMs();
      index.Find(u"");
      for (std::size_t k = 1; k <= i; ++k) index.Find(text.substr(0, k));
      const std::string shown = ToUtf8(query);
      std::printf("| %s | %zu | %.2f | %.2f | %.2f |\n", shown.c_str(), hits, wall, cpu, coldWall);
      worst.Note(wall, cpu, shown);
      worst.Note(coldWall, 0, shown + " (cold)");
    }
  }
}

}  // namespace clanbench
