// Benchmarks of the genealogy model on generated clan books: load, save,
// count, sort by birth, search by name and by birthday, and release.
//
//   bench_model                                  every case
//   bench_model --benchmark_filter=balanced      20k, 200k, 2M over 83 generations
//   bench_model --benchmark_filter='wide|deep'   the two extreme shapes
//   bench_model --benchmark_filter=SharedNames   many fathers of one name
//   bench_model --benchmark_filter=Interleaved   a family listed out of birth order
//
// On a busy machine add --benchmark_repetitions=5: the "min" row is the figure
// least disturbed by other programs, and the CPU column is the process's own.
//
// The books are written to $CLANBOOK_BENCH_DIR (default /tmp/clanbook-bench)
// once per run; saves go there too (a disk) and to /dev/shm (memory), so the
// cost of fsync shows apart from the cost of formatting.
#include "ClanGenerator.h"
#include "formats/FtfFormat.h"
#include "formats/ftf/FtfCodec.h"
#include "model/COperationClanbook.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Book {
  std::string label;
  fs::path file;
  clanbench::ClanSummary summary;
  std::unique_ptr<COperationClanbook> loaded;  // kept for the queries and saves
  std::string error;
};

std::string Label(const clanbench::ClanSpec& spec) {
  switch (spec.shape) {
    case clanbench::ClanShape::kBalanced:
      return "balanced-" + std::to_string(spec.members) + "-" + std::to_string(spec.generations);
    case clanbench::ClanShape::kWide:
      return "wide-" + std::to_string(spec.members - 1);
    case clanbench::ClanShape::kDeep:
      return "deep-" + std::to_string(spec.members);
  }
  return "book";
}

// Each book is generated and loaded once per process and kept for every case
// that needs it.
Book& GetBook(const clanbench::ClanSpec& spec) {
  static std::map<std::string, Book> books;
  const std::string label = Label(spec);
  auto [it, inserted] = books.try_emplace(label);
  Book& book = it->second;
  if (!inserted) return book;
  book.label = label;
  book.file = clanbench::BenchDir() / (label + ".ftf");
  if (!clanbench::WriteClan(spec, book.file, book.summary, book.error)) return book;
  book.loaded = std::make_unique<COperationClanbook>();
  const int result = formats::LoadFtf(book.file, *book.loaded).code;
  if (result != kFileOk) {
    book.error = "Load returned " + std::to_string(result) + " for " + book.file.string();
    book.loaded.reset();
  }
  return book;
}

bool Ready(benchmark::State& state, const Book& book) {
  if (book.loaded) return true;
  state.SkipWithError(book.error.c_str());
  return false;
}

void Describe(benchmark::State& state, const Book& book) {
  state.counters["members"] = static_cast<double>(book.summary.members);
  state.counters["members/s"] = benchmark::Counter(static_cast<double>(book.summary.members),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

// The fresh genealogy's creation and release are outside the timing, so both
// the wall and the processor time are the load's alone (the release is
// measured by BM_Clear).
void BM_Load(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  for (auto _ : state) {
    state.PauseTiming();
    auto genealogy = std::make_unique<COperationClanbook>();
    state.ResumeTiming();
    const int result = formats::LoadFtf(book.file, *genealogy).code;
    state.PauseTiming();
    if (result != kFileOk) {
      state.SkipWithError("Load failed");
      break;
    }
    genealogy.reset();
    state.ResumeTiming();
  }
  Describe(state, book);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * book.summary.bytes));
}

void BM_Save(benchmark::State& state, clanbench::ClanSpec spec, bool toMemory) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  const fs::path target =
      (toMemory ? fs::path("/dev/shm") : clanbench::BenchDir()) / ("saved-" + book.label + ".ftf");
  for (auto _ : state) {
    if (formats::SaveFtf(target, *book.loaded).code != kFileOk) {
      state.SkipWithError("Save failed");
      break;
    }
  }
  std::error_code ignored;
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * fs::file_size(target, ignored)));
  fs::remove(target, ignored);
  Describe(state, book);
}

void BM_Clear(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  for (auto _ : state) {
    state.PauseTiming();
    auto genealogy = std::make_unique<COperationClanbook>();
    if (formats::LoadFtf(book.file, *genealogy).code != kFileOk) {
      state.SkipWithError("Load failed");
      break;
    }
    state.ResumeTiming();
    genealogy->Clear();
  }
  Describe(state, book);
}

void BM_CountMembers(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  for (auto _ : state) {
    int counter = 0;
    book.loaded->CountMembers(book.loaded->GetRootLink(), counter);
    if (counter != book.summary.members) {
      state.SkipWithError("CountMembers miscounted");
      break;
    }
  }
  Describe(state, book);
}

// As the sort command does it: count, then sort into an array of n + 1 keys.
// The array is allocated once; its allocation is not the model's work.
void BM_SortByBirth(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  std::vector<BirthKey> keys(static_cast<std::size_t>(book.summary.members) + 1);
  for (auto _ : state) {
    int counter = 0;
    book.loaded->CountMembers(book.loaded->GetRootLink(), counter);
    book.loaded->SortByBirth(keys.data());
    benchmark::DoNotOptimize(keys.data());
  }
  for (std::size_t i = 2; i < keys.size(); ++i) {
    const BirthKey& a = keys[i - 1];
    const BirthKey& b = keys[i];
    if (COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                         b.birthMonth, b.birthDay) > 0) {
      state.SkipWithError("SortByBirth left keys out of order");
      break;
    }
  }
  Describe(state, book);
}

// The last member in pre-order: the farthest a walk from the root has to go.
void BM_FindByName(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  for (auto _ : state) {
    MemberNode* found = nullptr;
    book.loaded->FindByName(book.loaded->GetRootLink(), found, book.summary.lastName);
    if (found == nullptr || found->name != book.summary.lastName) {
      state.SkipWithError("FindByName missed the member");
      break;
    }
  }
  Describe(state, book);
}

void BM_FindByNameAbsent(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  const std::u16string nobody = u"无此人";
  for (auto _ : state) {
    MemberNode* found = nullptr;
    book.loaded->FindByName(book.loaded->GetRootLink(), found, nobody);
    if (found != nullptr) {
      state.SkipWithError("FindByName found somebody");
      break;
    }
  }
  Describe(state, book);
}

void BM_FindByBirthday(benchmark::State& state, clanbench::ClanSpec spec) {
  Book& book = GetBook(spec);
  if (!Ready(state, book)) return;
  std::vector<MemberNode*> found;
  for (auto _ : state) {
    found.clear();
    book.loaded->FindByBirthday(book.loaded->GetRootLink(), found, book.summary.lastBirthMonth,
                                book.summary.lastBirthDay);
    if (found.empty()) {
      state.SkipWithError("FindByBirthday found nobody");
      break;
    }
  }
  state.counters["matches"] = static_cast<double>(found.size());
  Describe(state, book);
}

// Times loading `text` from memory into a fresh genealogy, so that only the
// loader is timed: neither making the genealogy nor freeing it.
void TimeLoads(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    state.PauseTiming();
    auto genealogy = std::make_unique<COperationClanbook>();
    state.ResumeTiming();
    if (ftf::Read(text, *genealogy, {}).code != kFileOk) {
      state.SkipWithError("Load failed");
      break;
    }
    state.PauseTiming();
    genealogy.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// A book in which the fathers of half the records share one name whose first
// bearer comes late in pre-order, after a quarter of the book, and in which
// every other record adds another bearer of that name. Each record once
// searched the tree from the root for the first bearer: quadratic time.
void BM_LoadSharedNames(benchmark::State& state) {
  const auto records = static_cast<int>(state.range(0));
  std::string text = "R 1900 1 1 0 end 1 -1\r\n";
  for (int i = 0; i < records / 4; ++i) {
    text += 'a';
    text += std::to_string(i);
    text += " 1950 1 1 0 end 1 R\r\n";
  }
  text += "F 1960 1 1 0 end 1 R\r\ny 1980 1 1 0 end 1 F\r\n";
  for (int i = 0; i < records / 4; ++i) {
    text += "F 1995 1 1 0 end 1 y\r\n";
    text += 'x';
    text += std::to_string(i);
    text += " 1996 1 1 0 end 1 F\r\n";
  }
  text += "end 1999 12 2 1 end 1 end";
  TimeLoads(state, text);
}

// One father whose children a file lists in two runs taken in turn, each
// run in birth order but every child of the second born after the first
// run's next one: each newcomer's place lies inside the list, never at its end.
void BM_LoadInterleavedChildren(benchmark::State& state) {
  const auto children = static_cast<int>(state.range(0));
  auto date = [](int days) {
    // Months of 28 days keep every date valid.
    return std::to_string(1950 + days / 336) + ' ' + std::to_string(1 + days / 28 % 12) + ' ' +
           std::to_string(1 + days % 28);
  };
  std::string text = "R 1900 1 1 0 end 1 -1\r\n";
  for (int i = 0; i < children / 2; ++i) {
    text += 'a' + std::to_string(i) + ' ' + date(2 * i) + " 0 end 1 R\r\n";
    text += 'b' + std::to_string(i) + ' ' + date(2 * i + 1 + children) + " 0 end 1 R\r\n";
  }
  text += "end 1999 12 2 1 end 1 end";
  TimeLoads(state, text);
}

void RegisterFor(const clanbench::ClanSpec& spec) {
  const std::string label = Label(spec);
  auto add = [&](const std::string& name, auto function, auto... extra) {
    return benchmark::RegisterBenchmark((name + "/" + label).c_str(), function, spec, extra...)
        ->Unit(benchmark::kMillisecond)
        ->ComputeStatistics("min", [](const std::vector<double>& v) {
          return *std::min_element(v.begin(), v.end());
        });
  };
  add("Load", BM_Load)->MinTime(1.0);
  add("SaveDisk", BM_Save, false)->MinTime(1.0);
  add("SaveShm", BM_Save, true)->MinTime(1.0);
  add("CountMembers", BM_CountMembers);
  add("SortByBirth", BM_SortByBirth);
  add("FindByName", BM_FindByName)->Unit(benchmark::kNanosecond);
  add("FindByNameAbsent", BM_FindByNameAbsent)->Unit(benchmark::kNanosecond);
  add("FindByBirthday", BM_FindByBirthday);
  add("Clear", BM_Clear)->Iterations(spec.members >= 1000000 ? 2 : 5);
}

}  // namespace

int main(int argc, char** argv) {
  for (std::int64_t members : {20000, 200000, 2000000})
    RegisterFor(clanbench::Balanced(members, 83));
  RegisterFor(clanbench::WideFamily(1000000));
  RegisterFor(clanbench::DeepLine(1000000));
  benchmark::RegisterBenchmark("LoadSharedNames", BM_LoadSharedNames)
      ->Arg(10000)
      ->Arg(80000)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("LoadInterleavedChildren", BM_LoadInterleavedChildren)
      ->Arg(100000)
      ->Arg(200000)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
