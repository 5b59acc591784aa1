// Matching a branch against a book, and the review plan of a merge.
#include "merge/BranchMerge.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

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

bool SameDeathDate(const MemberNode& a, const MemberNode& b) {
  return a.deathYear == b.deathYear && a.deathMonth == b.deathMonth && a.deathDay == b.deathDay;
}

}  // namespace

std::vector<RecordField> DifferingRecordFields(const MemberRecord& book,
                                               const MemberRecord& branch) {
  std::vector<RecordField> fields;
  const auto samePictures = [&] {
    return std::ranges::equal(book.photos, branch.photos, [](const Photo& a, const Photo& b) {
      return a.caption == b.caption;
    });
  };
  for (int i = 0; i < kRecordFields; ++i) {
    const auto field = static_cast<RecordField>(i);
    if (IsBookField(field)) continue;
    bool same = true;
    if (IsMemberTextField(field))
      same = book.Text(field) == branch.Text(field);
    else if (field == RecordField::kSex)
      same = book.sex == branch.sex;
    else if (field == RecordField::kMother)
      same = book.mother == branch.mother;
    else if (field == RecordField::kSpouses)
      same = book.spouses == branch.spouses;
    else if (field == RecordField::kSources)
      same = book.sources == branch.sources;
    else if (field == RecordField::kPhotos)
      same = samePictures();
    if (!same) fields.push_back(field);
  }
  return fields;
}

unsigned DifferingFields(const MemberNode& book, const MemberNode& branch) {
  unsigned bits = 0;
  if ((book.extra.HasRecord() || branch.extra.HasRecord()) &&
      !DifferingRecordFields(book.extra.Record(), branch.extra.Record()).empty())
    bits |= kMergeRecord;
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
    plan.m_failure = "the branch's root " +
                     textcodec::Printable(textcodec::ToUtf8(branchRoot->name)) +
                     " is not in the book";
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
