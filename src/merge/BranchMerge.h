// Merging a branch back into a clan book: matching, the review plan, and the
// changes that carry it out and take it back.
//
// A plan points into both books: it is valid while neither changes. The
// changes made from it point into the book only and own copies of everything
// they bring in, so that an undo stack can replay and revert them as one step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

// Whose data a member present in both books ends with.
enum class MergeSide : std::uint8_t { Book, Branch };

enum class MergeRowKind : std::uint8_t {
  Add,       // a member of the branch only, brought in with his descendants
  Change,    // a member of both whose data differ
  BookOnly,  // a member of the book only (with his descendants), kept
};

// Why a row cannot be merged as it stands. A row in conflict is left out: an
// Add row with its descendants, a Change row keeps the book's data.
enum class MergeConflict : std::uint8_t {
  None,
  NameInBook,          // another member of the book bears the name
  NameInBranch,        // another member brought in by the merge bears it
  NameNotStorable,     // empty, "end", a blank in it, too long
  AddressNotStorable,  // a blank in it, too long
  BadBirthDate,        // no date of the calendar
  BadDeathDate,        // no date of the calendar, or before the birth
  BornNotAfterFather,  // born on or before his father, as the merge leaves him
  ChildNotAfter,       // a child who keeps his date would be born on or before him
};

// Bits of the data fields in which two members differ. The alive flag and the
// death date are one field; the death date counts only for the deceased.
enum MergeField : std::uint8_t {
  kMergeBirth = 1,
  kMergeMarried = 2,
  kMergeAddress = 4,
  kMergeDeath = 8,
  kMergeRecord = 16,  // anything of the record: DifferingRecordFields says what
};
unsigned DifferingFields(const MemberNode& book, const MemberNode& branch);
// The fields of two records that differ, in the order of RecordField. Pictures
// are compared by their number and captions: each file numbers its pictures
// its own way, and the bytes of the book's stay in its file.
std::vector<RecordField> DifferingRecordFields(const MemberRecord& book,
                                               const MemberRecord& branch);

inline constexpr std::uint32_t kNoRow = 0xFFFFFFFFu;

// One line of the review.
struct MergeRow {
  MergeRowKind kind = MergeRowKind::Add;
  MergeSide choice = MergeSide::Book;  // Change: whose data the member takes
  MergeConflict conflict = MergeConflict::None;
  bool applies = false;     // Apply carries the row out (never for BookOnly)
  std::uint8_t fields = 0;  // Change: the MergeField bits that differ
  // Change, BookOnly: the member of the book. Add: the father in the book, none
  // when the father comes with the branch himself.
  const MemberNode* book = nullptr;
  const MemberNode* branch = nullptr;  // Add, Change: the member of the branch
  // Add: the row of the nearest added forefather that has a row; kNoRow for
  // the top of an added branch.
  std::uint32_t up = kNoRow;
  std::uint32_t members = 0;  // Add, BookOnly: the member and his descendants
};

class MergePlan {
public:
  // False when the branch cannot be merged at all; Failure() says why.
  bool Ok() const { return m_failure.empty(); }
  const std::string& Failure() const { return m_failure; }

  std::size_t RowCount() const { return m_rows.size(); }
  const MergeRow& Row(std::size_t row) const { return m_rows[row]; }
  const std::vector<MergeRow>& Rows() const { return m_rows; }
  // The name the member of the row is merged under (a new one once renamed).
  std::u16string_view Name(std::size_t row) const;
  // Nothing to add and no data to change: the branch is already in the book.
  bool NothingToDo() const;

  // Choices made in the review. Each returns false, changing nothing, for a
  // row of another kind. Call Recheck afterwards.
  bool SetChoice(std::size_t row, MergeSide side);    // Change rows
  bool Rename(std::size_t row, std::u16string name);  // Add rows
  // Re-examines every row after choices or renames; returns the rows whose
  // conflict or whether they apply changed, in ascending order.
  std::vector<std::uint32_t> Recheck();

private:
  friend MergePlan PlanMerge(const COperationClanbook& book, const COperationClanbook& branch,
                             MergeSide prefer, const COperationClanbook* base);

  // The data a member of the book has after the merge as now chosen.
  const MemberNode& After(const MemberNode* bookMember) const;
  bool InBook(std::u16string_view name) const;
  void RecheckChanges();
  void RecheckAdds();

  const COperationClanbook* m_book = nullptr;
  std::string m_failure;
  std::vector<MergeRow> m_rows;
  // Add rows: what the member breaks whatever his name and father; Change rows:
  // what the branch's data break on their own.
  std::vector<MergeConflict> m_fixedConflict;
  std::unordered_map<std::uint32_t, std::u16string> m_renamed;       // row -> new name
  std::unordered_map<const MemberNode*, std::uint32_t> m_changeRow;  // book member
  // Names of added members without a row: no rename can free them.
  std::unordered_set<std::u16string_view> m_settledNames;
};

// Matches `branch` against `book`: its root by name with any member of the
// book, then each child by name among the children of the matched father.
// Every Change row starts with `prefer`. With `base`, the branch as it was
// exported, a member the branch left as it was is no Change row: the book's
// data are then the newer ones.
MergePlan PlanMerge(const COperationClanbook& book, const COperationClanbook& branch,
                    MergeSide prefer, const COperationClanbook* base = nullptr);

// A member's data (links none) changed from `before` to `after`.
struct MergeDataChange {
  MemberNode* member = nullptr;
  MemberNode before;
  MemberNode after;
};

// A branch taken in under `father`: the data of its members (links none),
// families one after another, each youngest first, each member after his
// father; `fathers[i]` is
// the index of member i's father (member 0, the top, goes under `father`).
struct MergeSubtree {
  MemberNode* father = nullptr;
  std::vector<MemberNode> members;
  std::vector<std::uint32_t> fathers;
  MemberNode* added = nullptr;  // the top in the book while applied
};

struct MergeChanges {
  std::vector<MergeDataChange> data;
  std::vector<MergeSubtree> subtrees;
  bool Empty() const { return data.empty() && subtrees.empty(); }
};

// The changes that carry out the rows of `plan` that apply. `book` is the book
// the plan was made for.
MergeChanges MakeMergeChanges(const MergePlan& plan, COperationClanbook& book);
// Carries out the changes: data first, then the branches in birth order under
// their fathers. Revert takes back exactly what Apply did; the two may
// alternate any number of times on a book in the state each left.
void ApplyMerge(COperationClanbook& book, MergeChanges& changes);
void RevertMerge(COperationClanbook& book, MergeChanges& changes);

// The steps ApplyMerge and RevertMerge are made of, for a caller that
// announces each one (a view inserts one row per branch taken in, at the row
// of its slot; see PlaceSubtrees below).
void ApplyDataChange(COperationClanbook& book, const MergeDataChange& change);
void RevertDataChange(COperationClanbook& book, const MergeDataChange& change);
void RevertSubtree(COperationClanbook& book, MergeSubtree& subtree);
// Where InsertMember puts `newcomer` among the children of `father`, from 0.
int InsertionRow(const MemberNode* father, const MemberNode& newcomer);

// Where a branch goes among his father's children: after the book's child
// `elder`, or after the top of the branch `elderSubtree` put in before him,
// or first when neither is given; `row` counts from 0.
struct SubtreeSlot {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t subtree = kNone;  // index into the subtrees
  MemberNode* elder = nullptr;
  std::size_t elderSubtree = kNone;
  int row = 0;
};
// The branches in the order they are put in, each with his place: the book
// ends exactly as if each top had been added by InsertMember in the order of
// `subtrees`, but no family is walked more than once, however many branches
// it takes in and in whatever order of birth they come.
std::vector<SubtreeSlot> PlaceSubtrees(const std::vector<MergeSubtree>& subtrees);
// Puts the branch in at `slot`: the top after the elder the slot names (his
// branch must be in already), then his descendants.
void ApplySubtreeAt(COperationClanbook& book, std::vector<MergeSubtree>& subtrees,
                    const SubtreeSlot& slot);

const char* DescribeConflict(MergeConflict conflict);

// Loads `bookFile` and `branchFile`, merges with every Change row taking the
// side `prefer`, leaves conflicts out (one line each on `report`: the name and
// the reason) and saves the result to `outFile` atomically. `baseFile`, when
// given, is the branch as it was exported (see PlanMerge).
int MergeBranchFiles(const std::filesystem::path& bookFile, const std::filesystem::path& branchFile,
                     const std::filesystem::path& outFile, MergeSide prefer, std::ostream& report,
                     const std::filesystem::path& baseFile = {});
