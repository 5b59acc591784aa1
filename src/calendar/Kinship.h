// How two people of a clan book are related: the path from one up to the
// ancestor they share and down to the other, and which of the two sides is
// the elder. The words for it are KinshipTerms.h's (Chinese) and the window's
// (other languages); this is the structure both are made from.
//
// A person is a member or a member's wife, given as plain values: PersonOf
// takes a member's sex from his record, and a caller that speaks for a wife
// says so. Members stand in a father-to-son line: the links are father links.
#pragma once

#include <cstdint>

struct MemberNode;

enum class KinSex : std::uint8_t { Male, Female };

struct KinPerson {
  // The member himself, or for a wife her husband.
  const MemberNode* member = nullptr;
  KinSex sex = KinSex::Male;  // a wife is a woman whatever this says
  bool wife = false;

  KinSex Sex() const { return wife ? KinSex::Female : sex; }
};

// The member as his record has him: a daughter of the book is a woman.
KinPerson PersonOf(const MemberNode* member);

enum class KinKind : std::uint8_t {
  Unrelated,   // no ancestor in common (or a person missing)
  Self,        // the same person
  Husband,     // B is A's husband
  Wife,        // B is A's wife
  Ancestor,    // B is in A's line upwards (or his wife)
  Descendant,  // B descends from A (or is a descendant's wife)
  Collateral,  // B descends from an ancestor of A on another branch
};

// What A calls B: everything is said from A's side.
struct Kinship {
  KinKind kind = KinKind::Unrelated;
  // Generations from A's member up to the shared ancestor, and from there
  // down to B's member (for a wife: her husband's).
  int up = 0;
  int down = 0;
  // Collateral only: B's side is the elder. The two members are compared at
  // the elder generation of the two (the younger one's forefather stands in
  // for him): by birth date, and when the dates are the same or unknown by
  // the order of the two branches below the shared ancestor.
  bool elder = false;
  bool byBranchOrder = false;            // `elder` came from the branches, not the dates
  KinSex sex = KinSex::Male;             // B's
  bool wife = false;                     // B is a member's wife
  bool speakerWife = false;              // A is a wife: she names B as her husband does
  const MemberNode* ancestor = nullptr;  // the member both descend from

  // 1 for the lines of brothers, 2 of first cousins (堂), 3 of second
  // cousins, ...: the generations from the shared ancestor down to the nearer
  // of the two. Collateral only.
  int Degree() const { return up < down ? up : down; }
  // How many generations B stands above A (below: negative).
  int GenerationsAbove() const { return up - down; }
};

// What `a` calls `b`. Costs one walk from each member up to the shared
// ancestor and, only for members born on the same day (or on unknown days),
// a walk along the same-day siblings of the two branches.
Kinship FindKinship(const KinPerson& a, const KinPerson& b);

// Whether `x` stands before `y` among the children of their father (both
// must be his children, distinct): by birth date, and for the same or an
// unknown date by their order in the family. Walks past no more children
// than lie between the two or, born on their day, after the younger.
bool IsElderBranch(const MemberNode* x, const MemberNode* y);
