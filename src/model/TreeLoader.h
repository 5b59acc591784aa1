// Builds a genealogy from records given in the order of a file: each record
// names its father, and the father is the first member in pre-order who bears
// that name when the record comes, exactly as the search from the root would
// find him. The file formats read the records; this class keeps the rules of
// the tree (birth order among brothers, the name index) and does it in
// linear time for the order the program writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/COperationClanbook.h"
#include "model/ZeroedArray.h"

class TreeLoader {
public:
  // `tree` must be empty. `expectedMembers` sizes the name index up front.
  TreeLoader(COperationClanbook& tree, std::size_t expectedMembers)
      : m_tree(tree), m_expected(expectedMembers) {}
  TreeLoader(const TreeLoader&) = delete;
  TreeLoader& operator=(const TreeLoader&) = delete;

  // The hash a member's name is given to Add and Prefetch with.
  static std::uint32_t Hash(std::u16string_view name);
  // Starts fetching from memory what adding a member of that name needs, so
  // that a reader can go on with the record's other fields meanwhile.
  void Prefetch(std::uint32_t hash);

  // The first record: the root, taken over.
  void SetRoot(std::unique_ptr<MemberNode> root, std::uint32_t hash);

  enum class Added { kAdded, kUnknownFather, kBornBeforeFather };
  // Links `member` (taken over unless refused) under the first bearer of
  // `father`'s name, among his children in birth order, after those born on
  // the same day so that a file keeps its order of twins.
  Added Add(std::unique_ptr<MemberNode>& member, std::uint32_t hash, const std::u16string& father);

  // Enters the members still waiting for the index; call after the last Add.
  void Finish() { Flush(); }

private:
  struct Step {
    MemberNode* member;
    bool first;  // the first bearer of his name
  };
  // A member linked but not yet in the index.
  struct Pending {
    MemberNode* member = nullptr;
    std::uint32_t hash = 0;
    bool last = false;  // he was placed at the end of the way
  };
  // Members whose names are surely new wait here for the index, their slots
  // fetched into the cache meanwhile, and go in together: the cache misses of
  // the index overlap instead of costing one after another.
  static constexpr std::size_t kQueued = 32;

  MemberNode* FindFather(const std::u16string& father, std::size_t& at);
  bool Link(MemberNode* member, MemberNode* father, std::size_t at);
  // Puts a child read from the file after `last`, the latest born of his
  // father's children (none: he has none), when he was not born earlier, and
  // says so; otherwise puts him at his place in birth order (Place).
  bool AppendAfter(MemberNode* father, MemberNode* last, MemberNode* member);
  // A child born before his father's latest born: after the last child born
  // on or before his day. A family is walked until its walks have cost
  // kWalkBudget steps; from then on its children are found by date.
  void Place(MemberNode* father, MemberNode* member);
  void Index(const Pending& pending);
  void Enter(const Pending& pending);
  void Flush();
  bool MaybeSeen(std::uint32_t hash) const {
    const std::uint32_t bit = (hash >> 5) & m_seenMask;
    return (m_seen[bit >> 6] >> (bit & 63)) & 1;
  }
  void MarkSeen(std::uint32_t hash) {
    const std::uint32_t bit = (hash >> 5) & m_seenMask;
    m_seen[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  }
  std::size_t WayPosition(const MemberNode* member) const;
  static bool Precedes(const MemberNode* a, const MemberNode* b);

  COperationClanbook& m_tree;
  std::size_t m_expected;
  std::vector<Step> m_way;
  // One bit per hash of the names seen: a clear bit proves a name new.
  ZeroedArray<std::uint64_t> m_seen;
  std::uint32_t m_seenMask = 0;
  Pending m_queue[kQueued];
  std::size_t m_queued = 0;
  // The last child of each father the loader met off the way.
  std::unordered_map<MemberNode*, MemberNode*> m_lastChild;
  // Children listed out of birth order (two runs of one large family
  // interleaved) would each walk half the list: quadratic. A family whose
  // walks grow long keeps, for each birth date among its children, the last
  // child born on it, so that a newcomer's place is one lookup; the list
  // itself and every order the loader gives stay exactly as the walk makes
  // them.
  static constexpr std::size_t kWalkBudget = 4096;
  struct DatedFamily {
    std::size_t walked = 0;
    bool indexed = false;
    std::map<std::int64_t, MemberNode*> lastBornOn;
  };
  std::unordered_map<MemberNode*, DatedFamily> m_dated;
};
