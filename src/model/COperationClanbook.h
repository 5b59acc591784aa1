// The genealogy: one tree of members in first-child / next-sibling form and
// the calendar rules it is ordered by. The files it is stored in are the
// formats layer's (formats/FtfFormat.h); TreeLoader builds it from records.
//
// Standard C++ only: this library must never depend on Qt, so that every layer
// above can link it and it can be fuzzed and benchmarked on its own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/MemberRecord.h"

// A name or an address holds at most this many UTF-16 code units: the file
// format and the entry dialogs are built around that limit.
inline constexpr std::size_t kMaxTextLength = 127;

// A member's own data, apart from the links: copied, kept and given back in
// one statement.
struct MemberData {
  std::u16string name;  // at most kMaxTextLength code units
  std::int32_t birthYear = 0;
  std::int32_t birthMonth = 0;
  std::int32_t birthDay = 0;
  std::int32_t married = 0;  // nonzero: married
  std::u16string address;    // at most kMaxTextLength; empty: no address
  std::int32_t alive = 1;    // nonzero: living; the death date means nothing then
  std::int32_t deathYear = 0;
  std::int32_t deathMonth = 0;
  std::int32_t deathDay = 0;
};

struct MemberNode : MemberData {
  // Links never own: the tree owns every member it holds.
  MemberNode* parent = nullptr;
  MemberNode* firstChild = nullptr;
  MemberNode* nextSibling = nullptr;
  // His record beyond the ten fields and his row in a .cbk (MemberRecord.h).
  MemberExtra extra;
};

bool IsLeapYear(std::int32_t year);

// Results of reading and writing a genealogy file (formats/FileFormat.h).
enum FileResult : int {
  kFileOk = 1,
  kFileBadDate = 0,
  kFileBadRelation = -1,
  kFileCannotWrite = -2,
  kFileCannotOpen = -3,
  kFileNoMemory = -4,
  kFileNoRoot = -5,
};

class NameIndex;  // defined in the implementation
class TreeLoader;

class COperationClanbook {
public:
  COperationClanbook();
  virtual ~COperationClanbook();
  COperationClanbook(const COperationClanbook&) = delete;
  COperationClanbook& operator=(const COperationClanbook&) = delete;

  // The first member of the genealogy; none for an empty one. Only this class
  // changes the links it starts.
  MemberNode* Root() const { return m_root; }

  // The first member in pre-order whose name equals `name` exactly; none when
  // nobody bears it. The whole genealogy's search is answered by the name index.
  MemberNode* FindByName(std::u16string_view name) const;
  // The same over the chain of `first` only: the member, his later siblings
  // and everything below them.
  MemberNode* FindByName(MemberNode* first, std::u16string_view name) const;

  // Every member born on `month`/`day` of any year, in pre-order.
  std::vector<MemberNode*> FindByBirthday(std::int32_t month, std::int32_t day) const;

  // Calls `visitor(member)` for every member of the chain of `first`, each
  // after everything below it and after its later siblings; the visitor may
  // release the member it is given (of a subtree out of the tree). Iterative:
  // any depth or breadth is safe.
  template <class Visitor>
  static void VisitPostOrder(MemberNode* first, Visitor&& visitor);
  // Calls `visitor(out, member)` for every member of the chain in pre-order.
  template <class Out, class Visitor>
  void VisitPreOrder(Out& out, MemberNode* link, Visitor&& visitor) const;

  void Clear();
  void Reset();
  // Exchanges the whole genealogy with `other` in constant time, so that a
  // genealogy loaded on the side can replace this one only once it is whole.
  void Swap(COperationClanbook& other) noexcept;

  // The book's own data (谱名, 堂号, 字辈...); Clear empties it too.
  BookData& Book() { return m_book; }
  const BookData& Book() const { return m_book; }

  static int CompareDates(std::int32_t year1, std::int32_t month1, std::int32_t day1,
                          std::int32_t year2, std::int32_t month2, std::int32_t day2);
  static bool IsValidDate(std::int32_t year, std::int32_t month, std::int32_t day);

  // Takes ownership of `newMember`. parent none: it becomes the root and the old
  // root, if any, its only child.
  void InsertMember(MemberNode* parent, MemberNode* newMember);
  // Takes ownership of `newMember` and links him, childless, as a child of
  // `parent` right after `elder` (none: first), without a walk; the caller
  // answers for the birth order.
  void InsertChildAfter(MemberNode* parent, MemberNode* elder, MemberNode* newMember);
  // Takes over a tree its reader has linked whole (parents, first children,
  // next siblings; the caller answers for it being one tree in birth order)
  // as the genealogy, which must be empty, and enters the names of `members`
  // (every member, in any order) into the index at once: one member at a
  // time, each name costs a cache miss in a large table.
  void AdoptTree(MemberNode* root, const std::vector<MemberNode*>& members);
  // The row, counted from 0, at which InsertMember will put a child of
  // `parent` born on the date of `data`; a child born after all the others
  // (most are) is placed without a walk along a large family.
  int PlaceOfNewChild(MemberNode* parent, const MemberData& data);
  // The brother or sister just before `member` in its family, or none; the
  // child last added to a family is answered without a walk along it.
  MemberNode* ElderSibling(const MemberNode* member) const;
  // Releases the member with all its descendants; none does nothing.
  void DeleteMember(MemberNode* member);
  // Copies the data fields (not the links) of `source` into the member; a
  // member alive afterwards keeps the death date he had.
  void UpdateMemberData(MemberNode* member, const MemberNode& source);
  // Makes every data field exactly `data`, the death date of a living member
  // included, so that undo and a merge's revert leave no trace.
  void SetMemberData(MemberNode* member, const MemberData& data);

  int CountChildren(const MemberNode* member) const;
  int GetSiblingPosition(const MemberNode* member) const;
  int GetGeneration(const MemberNode* member) const;
  // The number of members of the genealogy.
  int CountMembers() const;
  // The number of members of the chain of `first`: the member, his later
  // siblings and everything below them; 0 for none.
  int CountMembers(const MemberNode* first) const;

  // Every member, ordered by ascending birth date (docs/model.md says how
  // members born on the same day stand). Throws std::bad_alloc when the
  // memory for the order is not there.
  std::vector<MemberNode*> SortByBirth() const;

  // Whether a name or an address survives a save and a load: one word of at most
  // kMaxTextLength code units, no blank, tab or line break in it, no surrogate
  // without its other half. An empty address is stored by a placeholder and
  // survives; an empty name does not. A save also refuses a member other than the
  // root named "end" or named like its father (the reader would stop there).
  static bool IsStorableName(std::u16string_view name);
  static bool IsStorableAddress(std::u16string_view address);

  // --- Subtrees taken out of the tree and put back (Subtree.cpp) ---
  // Where a taken subtree stood: its father (none for the root) and the
  // elder sibling it followed (none when it was the eldest).
  struct SubtreePlace {
    MemberNode* parent = nullptr;
    MemberNode* elder = nullptr;
  };
  // Unlinks `member` with all its descendants and drops their names from the
  // index, without releasing them; the tree is empty when it was the root.
  // The member comes back with no father and no next sibling.
  SubtreePlace TakeSubtree(MemberNode* member);
  // Puts a subtree taken by TakeSubtree back where it stood, given the tree
  // is as it was right after the taking.
  void RestoreSubtree(MemberNode* member, const SubtreePlace& place);
  // Takes out the root alone, whose only child (if any) becomes the root
  // again: undoes InsertMember(nullptr, root) over an older root.
  MemberNode* TakeRootAbove();
  // Releases a subtree that is out of the tree.
  static void ReleaseSubtree(MemberNode* member);

private:
  // Debug builds check after every change of a subtree's place that the name
  // index counts every member under its name and that the remembered family
  // is still in the tree and counted right; an addition checks only what it
  // touched, so that building a large book stays linear.
  bool InvariantsHold() const;

  // What a pre-order walk does after a member: go on below it, pass over
  // everything below it, or end the walk.
  enum class WalkStep { Descend, SkipChildren, Stop };
  // The one pre-order walk every other walk is made of. A member's links are
  // read before `step` sees it, so a step may release the member. `Node` is
  // MemberNode or const MemberNode.
  template <class Node, class Step>
  static void WalkPreOrder(Node* link, Step&& step);
  // Releases the chain of `link` without touching the index.
  static void ReleaseChain(MemberNode* link);

  void IndexSubtreeRemoval(MemberNode* top);
  // Gives the member `name`, keeping the index right.
  void Rename(MemberNode* member, const std::u16string& name);
  // `top` and everything below him, in pre-order.
  static std::vector<MemberNode*> SubtreeMembers(MemberNode* top);
  MemberNode* SearchPreOrder(MemberNode* link, std::u16string_view name) const;

  // The one insertion in birth order. A newcomer goes after every child born
  // earlier; among children born on its own day it goes first when added by
  // hand (`afterSameDay` false), last when read from a file, so that a file
  // keeps its order of twins.
  void LinkChild(MemberNode* parent, MemberNode* newMember, bool afterSameDay);
  // Returns the number of children it walked past.
  static std::size_t InsertAmong(MemberNode*& firstChildLink, MemberNode* newMember,
                                 bool afterSameDay);
  bool TailKnown(const MemberNode* parent) const {
    return m_tail.father == parent && !m_tail.last->nextSibling;
  }
  // One walk along the family of `parent`, who has children.
  void LearnTail(MemberNode* parent);
  friend class TreeLoader;

  // The family that InsertMember last added to: its last child, the latest
  // birth date among its children and their number, so that children added in
  // birth order are placed and appended without a walk along the list. Dropped whenever a deletion,
  // a change of data or a load could make it stale.
  struct TailCache {
    MemberNode* father = nullptr;
    MemberNode* last = nullptr;
    MemberNode* elder = nullptr;  // the child before the last, if any
    std::int32_t latestYear = 0, latestMonth = 0, latestDay = 0;
    int children = 0;
  };

  MemberNode* m_root = nullptr;
  std::unique_ptr<NameIndex> m_index;
  TailCache m_tail;
  BookData m_book;
};

// The birth dates of two members compared as CompareDates compares dates.
inline int CompareBirthDates(const MemberNode& a, const MemberNode& b) {
  return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay);
}

#include "model/COperationClanbook.inl"
