// clangen: writes a synthetic clan book.
//
//   clangen N G OUT.ftf                 N members over G generations
//   clangen --wide CHILDREN OUT.ftf     one father with CHILDREN children
//   clangen --deep GENERATIONS OUT.ftf  a single line of GENERATIONS members
//
// A trailing --seed S changes the book; the default seed gives the same file
// every time.
#include "ClanGenerator.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

bool ParseNumber(std::string_view text, long long& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int Usage() {
  std::fprintf(stderr,
               "usage: clangen N G OUT.ftf [--seed S]\n"
               "       clangen --wide CHILDREN OUT.ftf [--seed S]\n"
               "       clangen --deep GENERATIONS OUT.ftf [--seed S]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int count = argc;
  unsigned long long seed = 0;
  bool seeded = false;
  if (count >= 3 && std::strcmp(argv[count - 2], "--seed") == 0) {
    long long value = 0;
    if (!ParseNumber(argv[count - 1], value) || value < 0) return Usage();
    seed = static_cast<unsigned long long>(value);
    seeded = true;
    count -= 2;
  }
  clanbench::ClanSpec spec;
  const char* out = nullptr;
  long long a = 0;
  long long b = 0;
  if (count == 4 && std::strcmp(argv[1], "--wide") == 0 && ParseNumber(argv[2], a) && a >= 0) {
    spec = clanbench::WideFamily(a);
    out = argv[3];
  } else if (count == 4 && std::strcmp(argv[1], "--deep") == 0 && ParseNumber(argv[2], a) &&
             a >= 1) {
    spec = clanbench::DeepLine(a);
    out = argv[3];
  } else if (count == 4 && ParseNumber(argv[1], a) && ParseNumber(argv[2], b) && b >= 1 &&
             b <= 2147483647) {
    spec = clanbench::Balanced(a, static_cast<std::int32_t>(b));
    out = argv[3];
  } else {
    return Usage();
  }
  if (seeded) spec.seed = seed;

  clanbench::ClanSummary summary;
  std::string error;
  if (!clanbench::WriteClan(spec, out, summary, error)) {
    std::fprintf(stderr, "clangen: %s\n", error.c_str());
    return 1;
  }
  std::printf(
      "%s: %lld members, %d generations, largest family %lld, %lld deceased, %lld married, "
      "%lld without address, %llu bytes\nroot %s, last in pre-order %s (born on %d/%d)\n",
      out, static_cast<long long>(summary.members), summary.generations,
      static_cast<long long>(summary.maxChildren), static_cast<long long>(summary.deceased),
      static_cast<long long>(summary.married), static_cast<long long>(summary.withoutAddress),
      static_cast<unsigned long long>(summary.bytes), clanbench::ToUtf8(summary.rootName).c_str(),
      clanbench::ToUtf8(summary.lastName).c_str(), summary.lastBirthMonth, summary.lastBirthDay);
  return 0;
}
