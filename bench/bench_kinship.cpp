// bench_kinship [MEMBERS [GENERATIONS [PAIRS]]]: what two members call each
// other, as the window and the command line ask it (both names looked up,
// both directions, both terms), on a generated clan book (default 2,000,000
// members over 83 generations, written into clanbench::BenchDir() when
// missing), for PAIRS random pairs (default 200,000) and for the worst cases:
// the two deepest members of different branches of the root, and the
// eldest and youngest child of the largest family, and of a family of
// 100,000 children, after every child of it is given one birth day, so that
// only the family's order tells them apart.
//
// Prints the mean, the 99.9th percentile and the slowest answer in wall time
// and in the thread's processor time (the machine is shared: processor time is
// what other programs do not inflate), and fails (status 1) when an answer
// takes more than 10 ms of processor time.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "BenchTimer.h"
#include "ClanGenerator.h"
#include "calendar/Kinship.h"
#include "calendar/KinshipTerms.h"
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

namespace {

constexpr double kLimitMs = 10;

struct Answer {
  double ms = 0;
  double cpuMs = 0;
  std::size_t length = 0;  // keeps the work from being optimised away
};

Answer Ask(const COperationClanbook& book, const MemberNode* a, const MemberNode* b) {
  const clanbench::Timer timer(CLOCK_THREAD_CPUTIME_ID);
  MemberNode* foundA = nullptr;
  MemberNode* foundB = nullptr;
  book.FindByName(book.GetRootLink(), foundA, a->name);
  book.FindByName(book.GetRootLink(), foundB, b->name);
  const std::u16string there = KinshipTerm(FindKinship({foundA}, {foundB}));
  const std::u16string back = KinshipTerm(FindKinship({foundB}, {foundA}));
  Answer answer;
  answer.ms = timer.WallMs();
  answer.cpuMs = timer.CpuMs();
  answer.length = there.size() + back.size();
  return answer;
}

int Depth(const MemberNode* m) {
  int depth = 0;
  for (; m->parent; m = m->parent) ++depth;
  return depth;
}

}  // namespace

int main(int argc, char** argv) {
  const long members = argc > 1 ? std::atol(argv[1]) : 2000000;
  const int generations = argc > 2 ? std::atoi(argv[2]) : 83;
  const long pairs = argc > 3 ? std::atol(argv[3]) : 200000;
  const std::filesystem::path file =
      clanbench::BenchDir() / ("kinship-" + std::to_string(members) + ".ftf");
  if (!std::filesystem::exists(file)) {
    clanbench::ClanSummary summary;
    std::string error;
    if (!clanbench::WriteClan(clanbench::Balanced(members, generations), file, summary, error)) {
      std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), error.c_str());
      return 1;
    }
  }
  COperationClanbook book;
  if (formats::LoadFtf(file, book).code != kFileOk) {
    std::fprintf(stderr, "cannot load %s\n", file.c_str());
    return 1;
  }
  std::vector<MemberNode*> everybody;
  book.VisitPreOrder(everybody, book.GetRootLink(),
                     [](std::vector<MemberNode*>& out, MemberNode* m) { out.push_back(m); });
  int deepest = 0;
  MemberNode* largest = book.GetRootLink();
  int largestSize = 0;
  for (MemberNode* m : everybody) {
    deepest = std::max(deepest, Depth(m));
    const int size = book.CountChildren(m);
    if (size > largestSize) {
      largestSize = size;
      largest = m;
    }
  }
  std::printf("# bench_kinship: %s, %zu members, %d generations, largest family %d children\n",
              file.c_str(), everybody.size(), deepest + 1, largestSize);

  std::mt19937_64 random(20261208);
  double total = 0, slowestCpu = 0;
  std::vector<double> walls;
  walls.reserve(static_cast<std::size_t>(pairs));
  std::size_t sink = 0;
  for (long i = 0; i < pairs; ++i) {
    const Answer answer =
        Ask(book, everybody[random() % everybody.size()], everybody[random() % everybody.size()]);
    total += answer.ms;
    walls.push_back(answer.ms);
    slowestCpu = std::max(slowestCpu, answer.cpuMs);
    sink += answer.length;
  }
  std::sort(walls.begin(), walls.end());
  std::printf(
      "random pairs: %ld; wall mean %.4f ms, 99.9%% %.3f ms, slowest %.3f ms; slowest cpu "
      "%.3f ms\n",
      pairs, total / double(pairs), walls[walls.size() * 999 / 1000], walls.back(), slowestCpu);
  double worst = slowestCpu;

  // The deepest members below two different children of the first member
  // with more than one child: the longest walk to a shared ancestor.
  const MemberNode* fork = book.GetRootLink();
  while (fork->firstChild && !fork->firstChild->nextSibling) fork = fork->firstChild;
  const MemberNode* sides[2] = {nullptr, nullptr};
  int sideDepth[2] = {-1, -1};
  for (MemberNode* m : everybody) {
    const MemberNode* top = m;
    while (top->parent && top->parent != fork) top = top->parent;
    if (top->parent != fork) continue;
    const int side = top == fork->firstChild ? 0 : 1;
    if (Depth(m) > sideDepth[side]) {
      sideDepth[side] = Depth(m);
      sides[side] = m;
    }
  }
  if (sides[0] && sides[1]) {
    const Answer deep = Ask(book, sides[0], sides[1]);
    sink += deep.length;
    worst = std::max(worst, deep.cpuMs);
    std::printf("deepest of two branches (%d and %d generations down): %.3f ms wall, %.3f ms cpu\n",
                sideDepth[0], sideDepth[1], deep.ms, deep.cpuMs);
  }

  // The largest family all born on one day: its order alone decides.
  const MemberNode* eldest = largest->firstChild;
  const MemberNode* youngest = eldest;
  for (MemberNode* c = largest->firstChild; c; c = c->nextSibling) {
    c->birthYear = eldest->birthYear;
    c->birthMonth = eldest->birthMonth;
    c->birthDay = eldest->birthDay;
    youngest = c;
  }
  if (eldest != youngest) {
    const Answer twins = Ask(book, youngest, eldest);
    sink += twins.length;
    worst = std::max(worst, twins.cpuMs);
    std::printf("eldest and youngest of %d children born on one day: %.3f ms wall, %.3f ms cpu\n",
                largestSize, twins.ms, twins.cpuMs);
  }
  // A family of 100,000 children, all born on one day: the eldest and the
  // youngest are told apart by a walk along the whole family.
  const std::filesystem::path wideFile = clanbench::BenchDir() / "kinship-wide-100000.ftf";
  if (!std::filesystem::exists(wideFile)) {
    clanbench::ClanSummary summary;
    std::string error;
    if (!clanbench::WriteClan(clanbench::WideFamily(100000), wideFile, summary, error)) {
      std::fprintf(stderr, "cannot write %s: %s\n", wideFile.c_str(), error.c_str());
      return 1;
    }
  }
  COperationClanbook wide;
  if (formats::LoadFtf(wideFile, wide).code != kFileOk) {
    std::fprintf(stderr, "cannot load %s\n", wideFile.c_str());
    return 1;
  }
  const MemberNode* first = wide.GetRootLink()->firstChild;
  const MemberNode* last = first;
  int children = 0;
  for (MemberNode* c = wide.GetRootLink()->firstChild; c; c = c->nextSibling) {
    c->birthYear = first->birthYear;
    c->birthMonth = first->birthMonth;
    c->birthDay = first->birthDay;
    last = c;
    ++children;
  }
  const MemberNode* middle = first;
  for (int i = 0; i < children / 2; ++i) middle = middle->nextSibling;
  const std::pair<const MemberNode*, const char*> wideCases[] = {{last, "youngest"},
                                                                 {middle, "middle"}};
  for (const auto& [other, which] : wideCases) {
    const Answer widest = Ask(wide, other, first);
    sink += widest.length;
    worst = std::max(worst, widest.cpuMs);
    std::printf("eldest and %s of %d children born on one day: %.3f ms wall, %.3f ms cpu\n", which,
                children, widest.ms, widest.cpuMs);
  }

  std::printf("slowest answer: %.3f ms cpu (limit %.0f ms) [%zu]\n", worst, kLimitMs, sink);
  return worst <= kLimitMs ? 0 : 1;
}
