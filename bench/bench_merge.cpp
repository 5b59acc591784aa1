// bench_merge [FILE [BRANCH_SIZE]]: the merge of a big branch back into the
// book it came from. Loads FILE (default: the 2,000,000-member clan book over
// 83 generations in $CLANBOOK_BENCH_DIR, generated when missing), extracts
// the member whose branch is closest to BRANCH_SIZE (default 200,000), edits
// the branch as a relative working on it for months would (new members, new
// addresses and death dates, a few names taken from elsewhere in the book),
// then times the matching and review plan, the changes, Apply and Revert.
// Prints wall and processor seconds; the least disturbed of five runs counts.
//
// bench_merge --interleaved N: a father of N children takes in N newcomers,
// each born between two of them (one run: plan, changes, Apply).
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "ClanGenerator.h"
#include "formats/FtfFormat.h"
#include "merge/BranchExport.h"
#include "merge/BranchMerge.h"

namespace {

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Timer {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  void Print(const char* what) const {
    std::printf("%-28s wall %.3f s  cpu %.3f s\n", what,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
                CpuSeconds() - cpu);
  }
};

// The member whose branch (he and his descendants) is closest to `size`.
const MemberNode* BranchOfSize(const COperationClanbook& book, std::size_t size) {
  std::vector<const MemberNode*> order;  // pre-order
  std::vector<const MemberNode*> stack{book.Root()};
  while (!stack.empty()) {
    const MemberNode* m = stack.back();
    stack.pop_back();
    order.push_back(m);
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) stack.push_back(c);
  }
  std::unordered_map<const MemberNode*, std::size_t> sizes;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    std::size_t n = 1;
    for (const MemberNode* c = (*it)->firstChild; c; c = c->nextSibling) n += sizes[c];
    sizes[*it] = n;
  }
  const MemberNode* best = book.Root();
  auto distance = [size](std::size_t n) { return n > size ? n - size : size - n; };
  for (const auto& [m, n] : sizes)
    if (distance(n) < distance(sizes[best])) best = m;
  return best;
}

// A father of `children` children in the book; his branch comes back with
// as many newcomers, each born between two of them.
int InterleavedNewcomers(std::size_t children) {
  COperationClanbook book;
  auto* root = new MemberNode;
  root->name = u"始祖";
  root->birthYear = 1800;
  root->birthMonth = root->birthDay = 1;
  book.InsertMember(nullptr, root);
  auto born = [](MemberNode* m, std::size_t days) {
    // Months of 28 days keep every date valid.
    m->birthYear = 1850 + static_cast<std::int32_t>(days / 336);
    m->birthMonth = 1 + static_cast<std::int32_t>(days / 28 % 12);
    m->birthDay = 1 + static_cast<std::int32_t>(days % 28);
  };
  for (std::size_t i = 0; i < children; ++i) {
    auto* child = new MemberNode;
    child->name = clanbench::MemberName(i + 1);
    born(child, 2 * i);
    book.InsertMember(root, child);
  }
  COperationClanbook branch;
  ExtractBranch(book, root, branch);
  for (std::size_t i = 0; i < children; ++i) {
    auto* child = new MemberNode;
    child->name = clanbench::MemberName(children + i + 1);
    born(child, 2 * i + 1);
    branch.InsertMember(branch.Root(), child);
  }
  std::printf("book %zu children, %zu newcomers between them\n", children, children);
  Timer plan;
  const MergePlan merge = PlanMerge(book, branch, MergeSide::Branch);
  plan.Print("match and plan");
  Timer make;
  MergeChanges changes = MakeMergeChanges(merge, book);
  make.Print("make changes");
  Timer apply;
  ApplyMerge(book, changes);
  apply.Print("apply");
  int members = book.CountMembers();
  std::printf("book now %d members\n", members);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--interleaved")
    return InterleavedNewcomers(std::strtoul(argv[2], nullptr, 10));
  std::filesystem::path file = argc > 1 ? argv[1] : clanbench::BenchDir() / "b2m.ftf";
  const std::size_t branchSize = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200000;
  if (argc <= 1 && !std::filesystem::exists(file)) {
    clanbench::ClanSummary summary;
    std::string error;
    if (!clanbench::WriteClan(clanbench::Balanced(2000000, 83), file, summary, error)) {
      std::fprintf(stderr, "bench_merge: %s\n", error.c_str());
      return 1;
    }
  }
  COperationClanbook book;
  {
    Timer t;
    if (formats::LoadFtf(file, book).code != kFileOk) {
      std::fprintf(stderr, "bench_merge: cannot load %s\n", file.string().c_str());
      return 1;
    }
    t.Print("load book");
  }
  int members = book.CountMembers();
  const MemberNode* top = BranchOfSize(book, branchSize);
  COperationClanbook branch;
  {
    Timer t;
    ExtractBranch(book, top, branch);
    t.Print("extract branch");
  }
  int branchMembers = branch.CountMembers();

  // Edits: one member in 100 gets a new address, one in 200 dies, one in 200
  // gets a child (one newcomer in 10 under a name already in the book).
  std::vector<MemberNode*> all;
  branch.VisitPreOrder(all, branch.Root(),
                       [](std::vector<MemberNode*>& v, MemberNode* m) { v.push_back(m); });
  int changed = 0;
  int added = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    MemberNode* m = all[i];
    if (i % 100 == 1) {
      MemberNode data = *m;
      data.address = u"新址" + clanbench::MemberName(i);
      branch.UpdateMemberData(m, data);
      ++changed;
    }
    if (i % 200 == 3 && m->alive) {
      MemberNode data = *m;
      data.alive = 0;
      data.deathYear = m->birthYear + 70;
      data.deathMonth = data.deathDay = 1;
      branch.UpdateMemberData(m, data);
      ++changed;
    }
    if (i % 200 == 7) {
      auto* child = new MemberNode;
      // One in ten takes a name borne elsewhere in the book: a conflict.
      child->name = added % 10 == 9 ? book.Root()->name : clanbench::MemberName(10000000 + i);
      child->birthYear = m->birthYear + 30;
      child->birthMonth = child->birthDay = 1;
      branch.InsertMember(m, child);
      ++added;
    }
  }
  std::printf("book %d members, branch %d members, %d changes, %d newcomers\n", members,
              branchMembers, changed, added);

  for (int run = 0; run < 5; ++run) {
    Timer t;
    MergePlan plan = PlanMerge(book, branch, MergeSide::Branch);
    t.Print("match and plan");
    std::size_t conflicts = 0;
    for (const MergeRow& r : plan.Rows()) conflicts += r.conflict != MergeConflict::None;
    if (run == 0) std::printf("rows %zu, conflicts %zu\n", plan.RowCount(), conflicts);
    if (run != 4) continue;
    Timer recheck;
    plan.Recheck();
    recheck.Print("recheck");
    Timer make;
    MergeChanges changes = MakeMergeChanges(plan, book);
    make.Print("make changes");
    Timer apply;
    ApplyMerge(book, changes);
    apply.Print("apply");
    Timer revert;
    RevertMerge(book, changes);
    revert.Print("revert");
  }
  return 0;
}
