// bench_kinship [MEMBERS [GENERATIONS [PAIRS]]]: what two members call each
// other, as the window and the command line ask it (both names looked up,
// both directions, both terms), on a generated clan book (default 2,000,000
// members over 83 generations, written into clanbench::BenchDir() when
// missing), for PAIRS random pairs (default 200,000) and for the worst cases:
// the two deepest members of different branches of the root, and the
// eldest and youngest child of the largest family after every child of it is
// given one birth day, so that only the family's order tells them apart.
//
// Prints the mean and the slowest answer and fails (status 1) when one takes
// more than 10 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ClanGenerator.h"
#include "calendar/Kinship.h"
#include "calendar/KinshipTerms.h"
#include "model/COperationClanbook.h"

namespace {

constexpr double kLimitMs = 10;

struct Answer {
  double ms = 0;
  std::size_t length = 0;  // keeps the work from being optimised away
};

Answer Ask(const COperationClanbook& book, const MemberNode* a, const MemberNode* b) {
  const auto start = std::chrono::steady_clock::now();
  MemberNode* foundA = nullptr;
  MemberNode* foundB = nullptr;
  book.FindByName(book.GetRootLink(), foundA, a->name);
  book.FindByName(book.GetRootLink(), foundB, b->name);
  const std::u16string there = KinshipTerm(FindKinship({foundA}, {foundB}));
  const std::u16string back = KinshipTerm(FindKinship({foundB}, {foundA}));
  Answer answer;
  answer.ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
  if (book.Load(file) != kFileOk) {
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
  double total = 0, slowest = 0;
  std::size_t sink = 0;
  for (long i = 0; i < pairs; ++i) {
    const Answer answer =
        Ask(book, everybody[random() % everybody.size()], everybody[random() % everybody.size()]);
    total += answer.ms;
    slowest = std::max(slowest, answer.ms);
    sink += answer.length;
  }
  std::printf("random pairs: %ld, mean %.4f ms, slowest %.3f ms\n", pairs, total / double(pairs),
              slowest);

  // The deepest member below the root's first child, and below its last.
  const MemberNode* root = book.GetRootLink();
  const MemberNode* sides[2] = {nullptr, nullptr};
  int sideDepth[2] = {-1, -1};
  const MemberNode* firstBranch = root->firstChild;
  for (MemberNode* m : everybody) {
    if (m == root) continue;
    const MemberNode* top = m;
    while (top->parent != root) top = top->parent;
    const int side = top == firstBranch ? 0 : 1;
    if (Depth(m) > sideDepth[side]) {
      sideDepth[side] = Depth(m);
      sides[side] = m;
    }
  }
  double worst = slowest;
  if (sides[0] && sides[1]) {
    const Answer deep = Ask(book, sides[0], sides[1]);
    sink += deep.length;
    worst = std::max(worst, deep.ms);
    std::printf("deepest of two branches (%d and %d generations down): %.3f ms\n", sideDepth[0],
                sideDepth[1], deep.ms);
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
    worst = std::max(worst, twins.ms);
    std::printf("eldest and youngest of %d children born on one day: %.3f ms\n", largestSize,
                twins.ms);
  }
  std::printf("slowest answer: %.3f ms (limit %.0f ms) [%zu]\n", worst, kLimitMs, sink);
  return worst <= kLimitMs ? 0 : 1;
}
