// Synthetic clan books for the benchmarks and the fuzzer's seeds.
//
// The generator writes .ftf files itself, byte by byte as the file format lays
// them out (UTF-8, one record per line ended by CR LF, pre-order from the root,
// the fixed end line), so that loading a generated book also checks the reader
// against a writer it does not share code with.
//
// Everything is a function of the shape and the seed: the same arguments give
// the same file on every machine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace clanbench {

enum class ClanShape {
  kBalanced,  // `members` over `generations` levels, growing, then level
  kWide,      // one father with `members` - 1 children
  kDeep,      // a single line of `members` generations
};

struct ClanSpec {
  ClanShape shape = ClanShape::kBalanced;
  std::int64_t members = 0;  // every member, the root included
  std::int32_t generations = 0;
  std::uint64_t seed = 0x636c616e626f6f6bULL;
};

ClanSpec Balanced(std::int64_t members, std::int32_t generations);
ClanSpec WideFamily(std::int64_t children);  // the father plus `children`
ClanSpec DeepLine(std::int64_t generations);

// What a benchmark needs to know about a written book.
struct ClanSummary {
  std::int64_t members = 0;
  std::int32_t generations = 0;
  std::int64_t maxChildren = 0;  // the largest family
  std::int64_t deceased = 0;
  std::int64_t married = 0;
  std::int64_t withoutAddress = 0;
  std::uint64_t bytes = 0;
  std::u16string rootName;
  std::u16string lastName;  // the last member in pre-order: the worst case of a search
  std::int32_t lastBirthMonth = 0;
  std::int32_t lastBirthDay = 0;
};

// Writes the book described by `spec` to `file`. On failure returns false and
// says why in `error`; a partial file may remain.
bool WriteClan(const ClanSpec& spec, const std::filesystem::path& file, ClanSummary& summary,
               std::string& error);

// The name of the member written at position `serial` in pre-order: a surname
// and a given name of two (or, past 2,250,000 members, more) characters. Distinct
// serials give distinct names.
std::u16string MemberName(std::uint64_t serial);

std::string ToUtf8(std::u16string_view text);

// Where the benchmarks keep the books they generate: $CLANBOOK_BENCH_DIR, or
// /tmp/clanbook-bench; created when missing.
std::filesystem::path BenchDir();

}  // namespace clanbench
