#include "calendar/Kinship.h"

#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

namespace {

bool DateKnown(const MemberNode& m) {
  return COperationClanbook::IsValidDate(m.birthYear, m.birthMonth, m.birthDay);
}

int Depth(const MemberNode* m) {
  int depth = 0;
  for (m = m->parent; m; m = m->parent) ++depth;
  return depth;
}

const MemberNode* Raise(const MemberNode* m, int generations) {
  for (; generations > 0; --generations) m = m->parent;
  return m;
}

}  // namespace

bool IsElderBranch(const MemberNode* x, const MemberNode* y) {
  if (DateKnown(*x) && DateKnown(*y)) {
    if (const int order = CompareBirthDates(*x, *y)) return order < 0;
  }
  // The same day, or a day not known: the family's order decides. Stepping
  // from both at once, the elder meets the younger after as many steps as
  // lie between them, and the younger runs out of the family (or, the list
  // being in birth order, out of the children born that day) after as many
  // as follow him: whichever comes first answers.
  const bool dated = DateKnown(*x) && DateKnown(*y);
  auto goesOn = [dated, x](const MemberNode* m) {
    return m && (!dated || CompareBirthDates(*m, *x) == 0);
  };
  const MemberNode* fromX = x->nextSibling;
  const MemberNode* fromY = y->nextSibling;
  for (;;) {
    if (fromX == y) return true;
    if (fromY == x) return false;
    if (!goesOn(fromX)) return false;  // y is not after x
    if (!goesOn(fromY)) return true;   // x is not after y
    fromX = fromX->nextSibling;
    fromY = fromY->nextSibling;
  }
}

Kinship FindKinship(const KinPerson& a, const KinPerson& b) {
  Kinship k;
  if (!a.member || !b.member) return k;
  k.sex = b.Sex();
  k.wife = b.wife;
  k.speakerWife = a.wife;
  if (a.member == b.member) {
    // Two wives of one man are not told apart: the book keeps no wives yet.
    k.ancestor = a.member;
    k.kind = a.wife == b.wife ? KinKind::Self : b.wife ? KinKind::Wife : KinKind::Husband;
    return k;
  }

  const int depthA = Depth(a.member);
  const int depthB = Depth(b.member);
  // The two lines at the same generation, then up in step to where they meet.
  const MemberNode* x = Raise(a.member, depthA - depthB);
  const MemberNode* y = Raise(b.member, depthB - depthA);
  const MemberNode* belowX = nullptr;  // the last step of each line below the meeting
  const MemberNode* belowY = nullptr;
  while (x != y) {
    belowX = x;
    belowY = y;
    x = x->parent;
    y = y->parent;
    if (!x || !y) return k;  // two trees
  }
  k.ancestor = x;
  const int depthC = Depth(x);
  k.up = depthA - depthC;
  k.down = depthB - depthC;
  if (k.down == 0) {
    k.kind = KinKind::Ancestor;
    return k;
  }
  if (k.up == 0) {
    k.kind = KinKind::Descendant;
    return k;
  }
  k.kind = KinKind::Collateral;
  // The two men compared stand at the elder generation of the two.
  const MemberNode* sideA = Raise(a.member, depthA - (depthA < depthB ? depthA : depthB));
  const MemberNode* sideB = Raise(b.member, depthB - (depthA < depthB ? depthA : depthB));
  if (DateKnown(*sideA) && DateKnown(*sideB) && CompareBirthDates(*sideA, *sideB) != 0) {
    k.elder = CompareBirthDates(*sideB, *sideA) < 0;
  } else {
    k.byBranchOrder = true;
    k.elder = IsElderBranch(belowY, belowX);
  }
  return k;
}

KinPerson PersonOf(const MemberNode* member) {
  KinPerson person{member};
  if (member && member->extra.Record().sex == Sex::kFemale) person.sex = KinSex::Female;
  return person;
}
