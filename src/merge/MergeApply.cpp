// A merge's changes: made from a reviewed plan, applied to the book and
// taken back again, in the order undo needs.
#include "merge/BranchMerge.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

MemberNode DataOf(const MemberNode& m) {
  MemberNode data = m;
  data.parent = data.firstChild = data.nextSibling = nullptr;
  return data;
}

}  // namespace

MergeChanges MakeMergeChanges(const MergePlan& plan, COperationClanbook& /*book*/) {
  MergeChanges changes;
  std::unordered_map<const MemberNode*, std::uint32_t> addRow;
  for (std::size_t i = 0; i < plan.RowCount(); ++i)
    if (plan.Row(i).kind == MergeRowKind::Add)
      addRow.emplace(plan.Row(i).branch, static_cast<std::uint32_t>(i));
  for (std::size_t i = 0; i < plan.RowCount(); ++i) {
    const MergeRow& r = plan.Row(i);
    if (!r.applies) continue;
    // The plan was made from the book the caller holds writable: its members
    // are the caller's to change.
    if (r.kind == MergeRowKind::Change) {
      MergeDataChange d;
      d.member = const_cast<MemberNode*>(r.book);
      d.before = DataOf(*r.book);
      d.after = DataOf(*r.branch);
      changes.data.push_back(std::move(d));
      continue;
    }
    if (r.kind != MergeRowKind::Add || r.up != kNoRow) continue;
    MergeSubtree s;
    s.father = const_cast<MemberNode*>(r.book);
    s.members.push_back(DataOf(*r.branch));
    s.members.back().name = plan.Name(i);
    s.fathers.push_back(0);
    // Family after family, each youngest first, as ApplyMerge inserts them.
    std::vector<std::pair<const MemberNode*, std::uint32_t>> families{{r.branch, 0}};
    std::vector<const MemberNode*> children;
    while (!families.empty()) {
      const auto [father, index] = families.back();
      families.pop_back();
      children.clear();
      for (const MemberNode* c = father->firstChild; c; c = c->nextSibling) children.push_back(c);
      for (auto c = children.rbegin(); c != children.rend(); ++c) {
        auto row = addRow.find(*c);
        if (row != addRow.end() && !plan.Row(row->second).applies) continue;
        s.members.push_back(DataOf(**c));
        if (row != addRow.end()) s.members.back().name = plan.Name(row->second);
        s.fathers.push_back(index);
        if ((*c)->firstChild)
          families.emplace_back(*c, static_cast<std::uint32_t>(s.members.size() - 1));
      }
    }
    changes.subtrees.push_back(std::move(s));
  }
  return changes;
}

void ApplyDataChange(COperationClanbook& book, const MergeDataChange& change) {
  book.SetMemberData(change.member, change.after);
  change.member->extra.SetRecord(change.after.extra.Record());
}

void RevertDataChange(COperationClanbook& book, const MergeDataChange& change) {
  book.SetMemberData(change.member, change.before);
  change.member->extra.SetRecord(change.before.extra.Record());
}

void RevertSubtree(COperationClanbook& book, MergeSubtree& subtree) {
  MemberNode* link = subtree.added;
  if (link) book.DeleteMember(link);
  subtree.added = nullptr;
}

int InsertionRow(const MemberNode* father, const MemberNode& newcomer) {
  // The place of a child added by hand: before the first child born on the newcomer's
  // day or later. (InsertMember's shortcut appends only when no child is.)
  int row = 0;
  for (const MemberNode* c = father->firstChild; c && CompareBirthDates(*c, newcomer) < 0;
       c = c->nextSibling)
    ++row;
  return row;
}

std::vector<SubtreeSlot> PlaceSubtrees(const std::vector<MergeSubtree>& subtrees) {
  using Date = std::tuple<std::int32_t, std::int32_t, std::int32_t>;
  const auto dateOf = [](const MemberNode& m) {
    return Date{m.birthYear, m.birthMonth, m.birthDay};
  };
  // The branches of each father, in the order they would be added.
  std::unordered_map<const MemberNode*, std::vector<std::size_t>> byFather;
  std::vector<const MemberNode*> fathers;
  for (std::size_t i = 0; i < subtrees.size(); ++i) {
    auto [it, added] = byFather.try_emplace(subtrees[i].father);
    if (added) fathers.push_back(subtrees[i].father);
    it->second.push_back(i);
  }
  std::vector<SubtreeSlot> slots;
  slots.reserve(subtrees.size());
  std::vector<MemberNode*> children;
  std::vector<Date> latest;  // the latest date among the first k + 1 children
  std::vector<std::pair<std::size_t, std::size_t>> gapOf;  // (gap, subtree)
  for (const MemberNode* father : fathers) {
    const std::vector<std::size_t>& branches = byFather[father];
    children.clear();
    latest.clear();
    for (MemberNode* c = father->firstChild; c; c = c->nextSibling) {
      children.push_back(c);
      latest.push_back(latest.empty() ? dateOf(*c) : std::max(latest.back(), dateOf(*c)));
    }
    // A top added by hand goes before the first child born on his day or
    // later. Among the book's children that is the first whose running latest
    // date reaches his: in whatever order the list is, the tops added before
    // him that stand before that child were all born earlier, and those in
    // the same gap stand in birth order, each after the earlier born. So each
    // top lands in the gap before that child, and the tops of one gap end in
    // birth order, the later added first among those born on one day.
    gapOf.clear();
    for (std::size_t b : branches) {
      const Date d = dateOf(subtrees[b].members.front());
      gapOf.emplace_back(static_cast<std::size_t>(
                             std::lower_bound(latest.begin(), latest.end(), d) - latest.begin()),
                         b);
    }
    std::stable_sort(gapOf.begin(), gapOf.end(), [&](const auto& x, const auto& y) {
      if (x.first != y.first) return x.first < y.first;
      const Date dx = dateOf(subtrees[x.second].members.front());
      const Date dy = dateOf(subtrees[y.second].members.front());
      if (dx != dy) return dx < dy;
      return x.second > y.second;
    });
    // Put in from the eldest, each after the one before him in the family.
    std::size_t next = 0;  // the book's children placed so far
    std::size_t previous = SubtreeSlot::kNone;
    int row = 0;
    for (const auto& [gap, b] : gapOf) {
      for (; next < gap; ++next, ++row) previous = SubtreeSlot::kNone;
      SubtreeSlot slot;
      slot.subtree = b;
      if (previous != SubtreeSlot::kNone)
        slot.elderSubtree = previous;
      else if (next > 0)
        slot.elder = children[next - 1];
      slot.row = row++;
      slots.push_back(slot);
      previous = b;
    }
  }
  return slots;
}

void ApplySubtreeAt(COperationClanbook& book, std::vector<MergeSubtree>& subtrees,
                    const SubtreeSlot& slot) {
  MergeSubtree& subtree = subtrees[slot.subtree];
  MemberNode* elder =
      slot.elderSubtree != SubtreeSlot::kNone ? subtrees[slot.elderSubtree].added : slot.elder;
  std::vector<MemberNode*> made(subtree.members.size(), nullptr);
  made[0] = new MemberNode(subtree.members[0]);
  book.InsertChildAfter(subtree.father, elder, made[0]);
  // Children of one father come one after another, youngest first, so each
  // goes in front of his family without a walk and twins keep their order.
  for (std::size_t i = 1; i < subtree.members.size(); ++i) {
    made[i] = new MemberNode(subtree.members[i]);
    book.InsertMember(made[subtree.fathers[i]], made[i]);
  }
  subtree.added = made[0];
}

void ApplyMerge(COperationClanbook& book, MergeChanges& changes) {
  for (const MergeDataChange& d : changes.data) ApplyDataChange(book, d);
  for (const SubtreeSlot& slot : PlaceSubtrees(changes.subtrees))
    ApplySubtreeAt(book, changes.subtrees, slot);
}

void RevertMerge(COperationClanbook& book, MergeChanges& changes) {
  for (auto s = changes.subtrees.rbegin(); s != changes.subtrees.rend(); ++s)
    RevertSubtree(book, *s);
  for (auto d = changes.data.rbegin(); d != changes.data.rend(); ++d) RevertDataChange(book, *d);
}
