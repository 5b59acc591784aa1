// Matching a branch against a book, the review plan, and its changes.
#include "merge/BranchMerge.h"

#include <algorithm>
#include <ostream>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "formats/FtfFormat.h"
#include "formats/io/AtomicFile.h"
#include "merge/BranchExport.h"
#include "model/TextCodec.h"

namespace {

constexpr std::u16string_view kEnd = u"end";

// A later member named "end" would end the file for the reader.
bool IsMergeableName(std::u16string_view name) {
  return COperationClanbook::IsStorableName(name) && name != kEnd;
}

// What a member's own data break, whoever his father is.
MergeConflict DataConflict(const MemberNode& m) {
  if (!COperationClanbook::IsValidDate(m.birthYear, m.birthMonth, m.birthDay))
    return MergeConflict::BadBirthDate;
  if (m.alive == 0 && (!COperationClanbook::IsValidDate(m.deathYear, m.deathMonth, m.deathDay) ||
                       COperationClanbook::CompareDates(m.birthYear, m.birthMonth, m.birthDay,
                                                        m.deathYear, m.deathMonth, m.deathDay) > 0))
    return MergeConflict::BadDeathDate;
  if (!COperationClanbook::IsStorableAddress(m.address)) return MergeConflict::AddressNotStorable;
  return MergeConflict::None;
}

MemberNode DataOf(const MemberNode& m) {
  MemberNode data = m;
  data.parent = data.firstChild = data.nextSibling = nullptr;
  return data;
}

bool SameDeathDate(const MemberNode& a, const MemberNode& b) {
  return a.deathYear == b.deathYear && a.deathMonth == b.deathMonth && a.deathDay == b.deathDay;
}

}  // namespace

unsigned DifferingFields(const MemberNode& book, const MemberNode& branch) {
  unsigned bits = 0;
  if (CompareBirthDates(book, branch) != 0) bits |= kMergeBirth;
  if ((book.married != 0) != (branch.married != 0)) bits |= kMergeMarried;
  if (book.address != branch.address) bits |= kMergeAddress;
  if ((book.alive != 0) != (branch.alive != 0) || (book.alive == 0 && !SameDeathDate(book, branch)))
    bits |= kMergeDeath;
  return bits;
}

std::u16string_view MergePlan::Name(std::size_t row) const {
  const MergeRow& r = m_rows[row];
  if (r.kind == MergeRowKind::BookOnly) return r.book->name;
  if (r.kind == MergeRowKind::Add) {
    if (auto it = m_renamed.find(static_cast<std::uint32_t>(row)); it != m_renamed.end())
      return it->second;
  }
  return r.branch->name;
}

bool MergePlan::NothingToDo() const {
  return std::none_of(m_rows.begin(), m_rows.end(),
                      [](const MergeRow& r) { return r.kind != MergeRowKind::BookOnly; });
}

bool MergePlan::SetChoice(std::size_t row, MergeSide side) {
  if (row >= m_rows.size() || m_rows[row].kind != MergeRowKind::Change) return false;
  m_rows[row].choice = side;
  return true;
}

bool MergePlan::Rename(std::size_t row, std::u16string name) {
  if (row >= m_rows.size() || m_rows[row].kind != MergeRowKind::Add) return false;
  const auto key = static_cast<std::uint32_t>(row);
  if (name == m_rows[row].branch->name)
    m_renamed.erase(key);
  else
    m_renamed[key] = std::move(name);
  return true;
}

const MemberNode& MergePlan::After(const MemberNode* bookMember) const {
  auto it = m_changeRow.find(bookMember);
  if (it == m_changeRow.end() || !m_rows[it->second].applies) return *bookMember;
  return *m_rows[it->second].branch;
}

bool MergePlan::InBook(std::u16string_view name) const {
  MemberNode* found = m_book->FindByName(name);
  return found != nullptr;
}

void MergePlan::RecheckChanges() {
  std::vector<std::uint32_t> work;
  for (std::size_t i = m_rows.size(); i-- > 0;) {
    MergeRow& r = m_rows[i];
    if (r.kind != MergeRowKind::Change) continue;
    const bool taken = r.choice == MergeSide::Branch;
    r.conflict = taken ? m_fixedConflict[i] : MergeConflict::None;
    r.applies = taken && r.conflict == MergeConflict::None;
    if (r.applies && (r.fields & kMergeBirth)) work.push_back(static_cast<std::uint32_t>(i));
  }
  // Only a birth date that moves can put a father and a child out of order; an
  // edge is checked by whichever end moves (by the child when both do). A
  // change turned down moves its member back, so his father and his children
  // are looked at again; the changes taken only ever shrink, so this ends.
  auto moving = [this](const MemberNode* m) {
    auto it = m_changeRow.find(m);
    if (it == m_changeRow.end()) return kNoRow;
    const MergeRow& r = m_rows[it->second];
    return r.applies && (r.fields & kMergeBirth) ? it->second : kNoRow;
  };
  while (!work.empty()) {
    const std::uint32_t i = work.back();
    work.pop_back();
    MergeRow& r = m_rows[i];
    if (!r.applies) continue;
    const MemberNode* member = r.book;
    MergeConflict found = MergeConflict::None;
    if (member->parent && CompareBirthDates(*r.branch, After(member->parent)) <= 0) {
      found = MergeConflict::BornNotAfterFather;
    } else {
      for (const MemberNode* c = member->firstChild; c; c = c->nextSibling) {
        if (moving(c) == kNoRow && CompareBirthDates(After(c), *r.branch) <= 0) {
          found = MergeConflict::ChildNotAfter;
          break;
        }
      }
    }
    if (found == MergeConflict::None) continue;
    r.applies = false;
    r.conflict = found;
    if (member->parent)
      if (const std::uint32_t up = moving(member->parent); up != kNoRow) work.push_back(up);
    for (const MemberNode* c = member->firstChild; c; c = c->nextSibling)
      if (const std::uint32_t down = moving(c); down != kNoRow) work.push_back(down);
  }
}

void MergePlan::RecheckAdds() {
  // The names of members not renamed are claimed first, in the order of the
  // rows, as when the plan was made; a new name may take only a name left free.
  std::unordered_set<std::u16string_view> claimed;
  auto nameConflict = [this, &claimed](std::u16string_view name) {
    const bool taken = !claimed.insert(name).second || m_settledNames.count(name) != 0;
    if (!IsMergeableName(name)) return MergeConflict::NameNotStorable;
    if (InBook(name)) return MergeConflict::NameInBook;
    return taken ? MergeConflict::NameInBranch : MergeConflict::None;
  };
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
      MergeRow& r = m_rows[i];
      if (r.kind != MergeRowKind::Add) continue;
      auto renamed = m_renamed.find(static_cast<std::uint32_t>(i));
      if ((renamed != m_renamed.end()) != (pass == 1)) continue;
      const MergeConflict byName =
          nameConflict(renamed != m_renamed.end() ? std::u16string_view(renamed->second)
                                                  : std::u16string_view(r.branch->name));
      r.conflict = m_fixedConflict[i];
      if (r.conflict == MergeConflict::None && r.up == kNoRow &&
          CompareBirthDates(*r.branch, After(r.book)) <= 0)
        r.conflict = MergeConflict::BornNotAfterFather;
      if (r.conflict == MergeConflict::None) r.conflict = byName;
    }
  }
  for (MergeRow& r : m_rows) {
    if (r.kind != MergeRowKind::Add) continue;
    r.applies = r.conflict == MergeConflict::None && (r.up == kNoRow || m_rows[r.up].applies);
  }
}

std::vector<std::uint32_t> MergePlan::Recheck() {
  std::vector<std::pair<MergeConflict, bool>> before;
  before.reserve(m_rows.size());
  for (const MergeRow& r : m_rows) before.emplace_back(r.conflict, r.applies);
  RecheckChanges();
  RecheckAdds();  // after the changes: a top's father may have moved
  std::vector<std::uint32_t> changed;
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (before[i] != std::make_pair(m_rows[i].conflict, m_rows[i].applies))
      changed.push_back(static_cast<std::uint32_t>(i));
  return changed;
}

namespace {

// Builds the rows of one added branch: its top, and every member below who
// could be in conflict, each with the size of his own branch.
class AddedBranchWalk {
public:
  AddedBranchWalk(const COperationClanbook& book, std::vector<MergeRow>& rows,
                  std::vector<MergeConflict>& fixed,
                  std::unordered_set<std::u16string_view>& claimed,
                  std::vector<std::u16string_view>& settled)
      : m_book(book), m_rows(rows), m_fixed(fixed), m_claimed(claimed), m_settled(settled) {}

  void Run(const MemberNode* father, const MemberNode* top) {
    struct Pending {
      const MemberNode* member;
      std::uint32_t depth;
      std::uint32_t up;
    };
    struct Open {
      std::uint32_t row, depth, start;
    };
    std::vector<Pending> pending{{top, 0, kNoRow}};
    std::vector<Open> open;
    std::uint32_t visited = 0;
    while (!pending.empty()) {
      const Pending p = pending.back();
      pending.pop_back();
      // Rows whose branch the walk has left are complete.
      while (!open.empty() && open.back().depth >= p.depth) {
        m_rows[open.back().row].members = visited - open.back().start;
        open.pop_back();
      }
      const MemberNode* m = p.member;
      MergeConflict fixed = DataConflict(*m);
      if (fixed == MergeConflict::None && p.depth > 0 && CompareBirthDates(*m, *m->parent) <= 0)
        fixed = MergeConflict::BornNotAfterFather;
      const bool nameClash =
          !m_claimed.insert(m->name).second || !IsMergeableName(m->name) || InBook(m->name);
      std::uint32_t up = p.up;
      if (p.depth == 0 || fixed != MergeConflict::None || nameClash) {
        MergeRow row;
        row.kind = MergeRowKind::Add;
        row.book = p.depth == 0 ? father : nullptr;
        row.branch = m;
        row.up = p.up;
        up = static_cast<std::uint32_t>(m_rows.size());
        m_rows.push_back(row);
        m_fixed.push_back(fixed);
        open.push_back({up, p.depth, visited});
      } else {
        m_settled.push_back(m->name);
      }
      ++visited;
      const std::size_t mark = pending.size();
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling)
        pending.push_back({c, p.depth + 1, up});
      std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
    }
    for (const Open& o : open) m_rows[o.row].members = visited - o.start;
  }

private:
  bool InBook(std::u16string_view name) const {
    MemberNode* found = m_book.FindByName(name);
    return found != nullptr;
  }

  const COperationClanbook& m_book;
  std::vector<MergeRow>& m_rows;
  std::vector<MergeConflict>& m_fixed;
  std::unordered_set<std::u16string_view>& m_claimed;
  std::vector<std::u16string_view>& m_settled;
};

}  // namespace

MergePlan PlanMerge(const COperationClanbook& book, const COperationClanbook& branch,
                    MergeSide prefer, const COperationClanbook* base) {
  MergePlan plan;
  plan.m_book = &book;
  const MemberNode* branchRoot = branch.Root();
  if (!branchRoot) {
    plan.m_failure = "the branch holds no members";
    return plan;
  }
  MemberNode* top = book.FindByName(branchRoot->name);
  if (!top) {
    plan.m_failure =
        "the branch's root " + textcodec::ToUtf8(branchRoot->name) + " is not in the book";
    return plan;
  }

  std::vector<MergeRow>& rows = plan.m_rows;
  std::unordered_set<std::u16string_view> claimed;
  std::vector<std::u16string_view> settled;
  AddedBranchWalk added(book, rows, plan.m_fixedConflict, claimed, settled);
  auto change = [&](const MemberNode* bookMember, const MemberNode* branchMember) {
    const unsigned fields = DifferingFields(*bookMember, *branchMember);
    if (!fields) return;
    if (base) {
      MemberNode* original = base->FindByName(branchMember->name);
      if (original && DifferingFields(*original, *branchMember) == 0) return;
    }
    MergeRow row;
    row.kind = MergeRowKind::Change;
    row.choice = prefer;
    row.fields = static_cast<std::uint8_t>(fields);
    row.book = bookMember;
    row.branch = branchMember;
    plan.m_changeRow.emplace(bookMember, static_cast<std::uint32_t>(rows.size()));
    rows.push_back(row);
    plan.m_fixedConflict.push_back(DataConflict(*branchMember));
  };

  // Matched pairs still to look into, the next to pop first in sibling order.
  std::vector<std::pair<const MemberNode*, const MemberNode*>> pairs{{top, branchRoot}};
  change(top, branchRoot);
  std::vector<const MemberNode*> bookChildren;
  std::vector<char> used;
  std::unordered_map<std::u16string_view, std::size_t> byName;
  // A hash of a family pays off only beyond a few children; below, the names
  // are compared one by one.
  constexpr std::size_t kHashFrom = 16;
  while (!pairs.empty()) {
    const auto [bookFather, branchFather] = pairs.back();
    pairs.pop_back();
    bookChildren.clear();
    for (const MemberNode* c = bookFather->firstChild; c; c = c->nextSibling)
      bookChildren.push_back(c);
    used.assign(bookChildren.size(), 0);
    const bool hashed = bookChildren.size() >= kHashFrom;
    if (hashed) {
      byName.clear();
      byName.reserve(bookChildren.size());
      for (std::size_t i = 0; i < bookChildren.size(); ++i)
        byName.emplace(bookChildren[i]->name, i);  // the elder of two namesakes
    }
    const std::size_t mark = pairs.size();
    for (const MemberNode* c = branchFather->firstChild; c; c = c->nextSibling) {
      std::size_t match = bookChildren.size();
      if (hashed) {
        if (auto it = byName.find(c->name); it != byName.end()) match = it->second;
      } else {
        match = static_cast<std::size_t>(
            std::find_if(bookChildren.begin(), bookChildren.end(),
                         [c](const MemberNode* k) { return k->name == c->name; }) -
            bookChildren.begin());
      }
      // A second branch child of the same name cannot be the same member.
      if (match < bookChildren.size() && !used[match]) {
        used[match] = 1;
        change(bookChildren[match], c);
        if (c->firstChild || bookChildren[match]->firstChild)
          pairs.emplace_back(bookChildren[match], c);
      } else {
        added.Run(bookFather, c);
      }
    }
    std::reverse(pairs.begin() + static_cast<std::ptrdiff_t>(mark), pairs.end());
    for (std::size_t i = 0; i < bookChildren.size(); ++i) {
      if (used[i]) continue;
      MergeRow row;
      row.kind = MergeRowKind::BookOnly;
      row.book = bookChildren[i];
      int count = 1;
      count += book.CountMembers(bookChildren[i]->firstChild);
      row.members = static_cast<std::uint32_t>(count);
      rows.push_back(row);
      plan.m_fixedConflict.push_back(MergeConflict::None);
    }
  }
  plan.m_settledNames.insert(settled.begin(), settled.end());
  plan.Recheck();
  return plan;
}

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
}

void RevertDataChange(COperationClanbook& book, const MergeDataChange& change) {
  book.SetMemberData(change.member, change.before);
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

const char* DescribeConflict(MergeConflict conflict) {
  switch (conflict) {
    case MergeConflict::None:
      return "no conflict";
    case MergeConflict::NameInBook:
      return "another member of the book bears this name";
    case MergeConflict::NameInBranch:
      return "another member brought in from the branch bears this name";
    case MergeConflict::NameNotStorable:
      return "the name cannot be stored (empty, \"end\", a blank in it, or too long)";
    case MergeConflict::AddressNotStorable:
      return "the address cannot be stored (a blank in it, or too long)";
    case MergeConflict::BadBirthDate:
      return "the birth date is no date of the calendar";
    case MergeConflict::BadDeathDate:
      return "the death date is no date of the calendar or comes before the birth";
    case MergeConflict::BornNotAfterFather:
      return "he would be born on or before his father";
    case MergeConflict::ChildNotAfter:
      return "a child of his would be born on or before him";
  }
  return "unknown conflict";
}

namespace {

std::string DateText(std::int32_t y, std::int32_t m, std::int32_t d) {
  return std::to_string(y) + '-' + std::to_string(m) + '-' + std::to_string(d);
}

// One field of a member's data as the report names and shows it.
std::pair<const char*, std::string> FieldText(MergeField field, const MemberNode& m) {
  switch (field) {
    case kMergeBirth:
      return {"birth date", DateText(m.birthYear, m.birthMonth, m.birthDay)};
    case kMergeMarried:
      return {"married", m.married ? "yes" : "no"};
    case kMergeAddress:
      return {"address", '"' + textcodec::ToUtf8(m.address) + '"'};
    case kMergeDeath:
      return {"death", m.alive ? "living" : DateText(m.deathYear, m.deathMonth, m.deathDay)};
  }
  return {"", ""};
}

// The fields in which the branch differs from the book and the book's value
// stays, one line each; returns how many. Without them a merge that keeps the
// book's data would look as if the branch had brought no news.
std::size_t ReportKept(const MergeRow& row, std::ostream& report) {
  std::size_t kept = 0;
  for (const MergeField field : {kMergeBirth, kMergeMarried, kMergeAddress, kMergeDeath}) {
    if (!(row.fields & field)) continue;
    const auto [name, book] = FieldText(field, *row.book);
    report << textcodec::ToUtf8(row.book->name) << ": kept the book's " << name << ' ' << book
           << " (the branch has " << FieldText(field, *row.branch).second << ")\n";
    ++kept;
  }
  return kept;
}

}  // namespace

int MergeBranchFiles(const std::filesystem::path& bookFile, const std::filesystem::path& branchFile,
                     const std::filesystem::path& outFile, MergeSide prefer, std::ostream& report,
                     const std::filesystem::path& baseFile) {
  // The members left out as conflicts live on only in the branch (and its
  // base), so neither may be replaced by the result. The book may: the
  // merge is meant to bring the branch back into it.
  if (OutputIsInput(outFile, {branchFile, baseFile})) {
    report << "merge: cannot save " << outFile.string() << ": "
           << DescribeWriteProblem(FileProblem::kTargetIsInput)
           << " (the branch); nothing written\n";
    return kBranchCannotWrite;
  }
  COperationClanbook book;
  COperationClanbook branch;
  COperationClanbook base;
  for (auto [tree, file] : {std::pair{&book, &bookFile}, std::pair{&branch, &branchFile},
                            std::pair{&base, &baseFile}}) {
    if (file->empty()) continue;
    if (const int result = formats::LoadFtf(*file, *tree).code; result != kFileOk) {
      report << "merge: cannot read " << file->string() << ": " << DescribeFileResult(result)
             << '\n';
      return kBranchCannotRead;
    }
  }
  MergePlan plan = PlanMerge(book, branch, prefer, baseFile.empty() ? nullptr : &base);
  if (!plan.Ok()) {
    report << "merge: " << plan.Failure() << "; nothing changed\n";
    return kBranchNotInBook;
  }
  std::size_t conflicts = 0, kept = 0;
  for (std::size_t i = 0; i < plan.RowCount(); ++i) {
    const MergeRow& r = plan.Row(i);
    if (r.kind == MergeRowKind::Change && r.conflict == MergeConflict::None && !r.applies)
      kept += ReportKept(r, report);
    if (r.conflict == MergeConflict::None) continue;
    ++conflicts;
    report << textcodec::ToUtf8(plan.Name(i)) << ": " << DescribeConflict(r.conflict);
    // Where the namesake stands tells the user which of the two to rename.
    MemberNode* namesake = nullptr;
    if (r.conflict == MergeConflict::NameInBook) namesake = book.FindByName(plan.Name(i));
    if (namesake && namesake->parent)
      report << " (a child of " << textcodec::ToUtf8(namesake->parent->name) << ')';
    report << (r.kind == MergeRowKind::Change ? "; keeps the book's data\n"
                                              : "; left out with his descendants\n");
  }
  MergeChanges changes = MakeMergeChanges(plan, book);
  ApplyMerge(book, changes);
  std::size_t added = 0;
  for (const MergeSubtree& s : changes.subtrees) added += s.members.size();
  if (const FileStatus saved = formats::SaveFtf(outFile, book); !saved.Ok()) {
    report << "merge: cannot save " << outFile.string() << ": " << DescribeSaveFailure(saved)
           << '\n';
    return kBranchCannotWrite;
  }
  report << "merge: " << added << " members added, " << changes.data.size() << " changed, ";
  if (kept) report << kept << " differences kept from the book, ";
  report << conflicts << " conflicts left out; saved to " << outFile.string() << '\n';
  return kBranchOk;
}
