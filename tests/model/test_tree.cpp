// The genealogy tree: insertion order, new roots, deletion, searches, counts,
// and the name index that answers searches from the root.
#include <gtest/gtest.h>

#include <random>

#include "ModelTestSupport.h"

using namespace modeltest;

namespace {

// The search as the design describes it, recursion and all, for comparison on
// small trees: a match ends the search of its own chain, later matches below
// overwrite earlier ones along the siblings.
void ReferenceFind(MemberNode* link, MemberNode*& result, std::u16string_view name) {
  while (link) {
    if (link->name == name) {
      result = link;
      return;
    }
    ReferenceFind(link->nextSibling, result, name);
    link = link->firstChild;
  }
}

MemberNode* Find(const COperationClanbook& tree, std::u16string_view name) {
  MemberNode* found = tree.FindByName(name);
  return found;
}

TEST(Tree, NewRootIntoEmptyAndAboveOldRoot) {
  COperationClanbook tree;
  EXPECT_EQ(tree.Root(), nullptr);
  MemberNode* r = Add(tree, u"", u"R", 1900);
  EXPECT_EQ(tree.Root(), r);
  EXPECT_EQ(r->firstChild, nullptr);
  EXPECT_EQ(r->parent, nullptr);
  Add(tree, u"R", u"A", 1930);
  MemberNode* b = Add(tree, u"A", u"B", 1960);
  EXPECT_EQ(tree.GetGeneration(b), 3);

  MemberNode* top = Add(tree, u"", u"Top", 1950);  // born after R: not checked here
  EXPECT_EQ(tree.Root(), top);
  EXPECT_EQ(top->firstChild, r);
  EXPECT_EQ(r->nextSibling, nullptr);
  EXPECT_EQ(r->parent, top);
  EXPECT_EQ(Children(r), "A");
  EXPECT_EQ(tree.GetGeneration(r), 2);
  EXPECT_EQ(tree.GetGeneration(b), 4);
  EXPECT_EQ(Find(tree, u"Top"), top);
}

TEST(Tree, ChildrenStayInBirthOrderAndSameDayNewcomerGoesFirst) {
  COperationClanbook tree;
  Add(tree, u"", u"P", 1950);
  Add(tree, u"P", u"c1990", 1990);
  Add(tree, u"P", u"c1992", 1992);
  Add(tree, u"P", u"c1994", 1994);
  Add(tree, u"P", u"n1992", 1992);
  EXPECT_EQ(Children(tree.Root()), "c1990 n1992 c1992 c1994");
  Add(tree, u"P", u"n1995", 1995);
  Add(tree, u"P", u"n1980", 1980);
  EXPECT_EQ(Children(tree.Root()), "n1980 c1990 n1992 c1992 c1994 n1995");
  Add(tree, u"P", u"m1994", 1994, 1, 1);
  Add(tree, u"P", u"d1994", 1994, 1, 2);
  EXPECT_EQ(Children(tree.Root()), "n1980 c1990 n1992 c1992 m1994 c1994 d1994 n1995");
}

TEST(Tree, UpdatedBirthDateKeepsPlaceAndLaterInsertionsFollowTheList) {
  COperationClanbook tree;
  Add(tree, u"", u"P", 1900);
  Add(tree, u"P", u"a", 1990);
  MemberNode* b = Add(tree, u"P", u"b", 1995);
  MemberNode source = *b;
  source.birthYear = 1980;
  tree.UpdateMemberData(b, source);
  EXPECT_EQ(Children(tree.Root()), "a b");
  // The list is out of order now; insertion stops at the first child born on
  // the newcomer's day or later, as specified, rather than assuming order.
  Add(tree, u"P", u"c", 1985);
  EXPECT_EQ(Children(tree.Root()), "c a b");
  Add(tree, u"P", u"d", 1992);
  EXPECT_EQ(Children(tree.Root()), "c a b d");
}

TEST(Tree, UpdateCopiesDataButDeathDateOnlyForTheDeceased) {
  COperationClanbook tree;
  MemberNode* m = Add(tree, u"", u"Old", 1900);
  m->alive = 0;
  m->deathYear = 1970;
  m->deathMonth = 5;
  m->deathDay = 6;
  MemberNode source;
  source.name = u"New";
  source.address = u"Hilltop";
  source.birthYear = 1901;
  source.birthMonth = 2;
  source.birthDay = 3;
  source.married = 1;
  source.alive = 1;
  source.deathYear = 2000;
  source.firstChild = reinterpret_cast<MemberNode*>(0x1);  // links are never copied
  tree.UpdateMemberData(m, source);
  EXPECT_EQ(m->name, u"New");
  EXPECT_EQ(m->address, u"Hilltop");
  EXPECT_EQ(m->birthYear, 1901);
  EXPECT_EQ(m->married, 1);
  EXPECT_EQ(m->alive, 1);
  EXPECT_EQ(m->deathYear, 1970);
  EXPECT_EQ(m->firstChild, nullptr);
  source.alive = 0;
  tree.UpdateMemberData(m, source);
  EXPECT_EQ(m->deathYear, 2000);
  EXPECT_EQ(Find(tree, u"Old"), nullptr);
  EXPECT_EQ(Find(tree, u"New"), m);
}

TEST(Tree, DeleteMiddleChildRootAndTheCallersLink) {
  COperationClanbook tree;
  Add(tree, u"", u"R", 1900);
  Add(tree, u"R", u"a", 1920);
  Add(tree, u"R", u"b", 1922);
  Add(tree, u"R", u"c", 1924);
  Add(tree, u"b", u"b1", 1950);
  Add(tree, u"b1", u"b11", 1980);
  MemberNode* victim = Find(tree, u"b");
  tree.DeleteMember(victim);
  EXPECT_EQ(Children(tree.Root()), "a c");
  EXPECT_EQ(Find(tree, u"b1"), nullptr);
  EXPECT_EQ(Find(tree, u"b11"), nullptr);
  int count = tree.CountMembers();
  EXPECT_EQ(count, 3);

  // The eldest child, read from the father's own link: the younger
  // siblings must not be cut off.
  tree.DeleteMember(tree.Root()->firstChild);
  EXPECT_EQ(Children(tree.Root()), "c");

  tree.DeleteMember(tree.Root());
  EXPECT_EQ(tree.Root(), nullptr);
  EXPECT_EQ(Find(tree, u"c"), nullptr);

  Add(tree, u"", u"X", 1900);
  tree.DeleteMember(nullptr);  // nobody: nothing changes
  EXPECT_EQ(Find(tree, u"X"), tree.Root());
  tree.DeleteMember(tree.Root());
  EXPECT_EQ(tree.Root(), nullptr);
}

TEST(Tree, CountsPositionsAndGenerations) {
  COperationClanbook tree;
  MemberNode* r = Add(tree, u"", u"R", 1900);
  Add(tree, u"R", u"a", 1920);
  Add(tree, u"R", u"b", 1921);
  MemberNode* c = Add(tree, u"R", u"c", 1922);
  MemberNode* g = Add(tree, u"a", u"g", 1950);
  EXPECT_EQ(tree.GetSiblingPosition(r), 1);
  EXPECT_EQ(tree.GetSiblingPosition(c), 3);
  EXPECT_EQ(tree.CountChildren(r), 3);
  EXPECT_EQ(tree.CountChildren(c), 0);
  EXPECT_EQ(tree.GetGeneration(r), 1);
  EXPECT_EQ(tree.GetGeneration(g), 3);
  EXPECT_EQ(tree.CountMembers(), 5);
  EXPECT_EQ(tree.CountMembers(r->firstChild->nextSibling), 2);  // b and c
  EXPECT_EQ(tree.CountMembers(nullptr), 0);
}

TEST(Tree, FindByNameAnswersNoneOrTheFirstBearerInTheSpecifiedOrder) {
  COperationClanbook tree;
  Add(tree, u"", u"R", 1900);
  MemberNode* first = Add(tree, u"R", u"first", 1920);
  MemberNode* second = Add(tree, u"R", u"second", 1925);
  EXPECT_EQ(tree.FindByName(u"nobody"), nullptr);
  EXPECT_EQ(tree.FindByName(nullptr, u"R"), nullptr);
  EXPECT_EQ(tree.FindByName(first, u"R"), nullptr);  // the root is not in that chain

  // The root's second child and a grandchild under the first child bear the
  // same name: the grandchild is found.
  MemberNode dup = *second;
  dup.name = u"X";
  tree.UpdateMemberData(second, dup);
  MemberNode* grandchild = Make(u"X", 1950);
  tree.InsertMember(first, grandchild);
  EXPECT_EQ(Find(tree, u"X"), grandchild);
  MemberNode* ref = nullptr;
  ReferenceFind(tree.Root(), ref, u"X");
  EXPECT_EQ(ref, grandchild);

  // Two siblings: the elder is found.
  MemberNode* elder = Make(u"Y", 1960);
  MemberNode* younger = Make(u"Y", 1961);
  tree.InsertMember(grandchild, younger);
  tree.InsertMember(grandchild, elder);
  EXPECT_EQ(Find(tree, u"Y"), elder);
  // A search from a link other than the root covers only that chain.
  MemberNode* found = tree.FindByName(second, u"Y");
  EXPECT_EQ(found, nullptr);
  found = tree.FindByName(first, u"X");
  EXPECT_EQ(found, grandchild);
  // Comparison is exact and case-sensitive.
  EXPECT_EQ(Find(tree, u"y"), nullptr);
  EXPECT_EQ(Find(tree, u"Y "), nullptr);
}

TEST(Tree, FindByBirthdayCollectsEveryMatchInPreOrder) {
  COperationClanbook tree;
  Add(tree, u"", u"R", 1896, 2, 29);
  Add(tree, u"R", u"a", 1920, 3, 1);
  Add(tree, u"a", u"a1", 1948, 2, 29);
  Add(tree, u"R", u"b", 1924, 2, 29);
  Add(tree, u"R", u"c", 1925, 2, 28);
  for (int i = 0; i < 40; ++i)  // more than the thirty places of the old area
    Add(tree, u"c", u"c" + std::u16string(1, static_cast<char16_t>(u'A' + i)), 1952, 2, 29);
  std::vector<MemberNode*> found = tree.FindByBirthday(2, 29);
  ASSERT_EQ(found.size(), 43u);
  EXPECT_EQ(found[0]->name, u"R");
  EXPECT_EQ(found[1]->name, u"a1");
  EXPECT_EQ(found[2]->name, u"b");
  for (MemberNode* m : found) {
    EXPECT_EQ(m->birthMonth, 2);
    EXPECT_EQ(m->birthDay, 29);
  }
  EXPECT_TRUE(tree.FindByBirthday(2, 30).empty());
}

TEST(Tree, PostOrderVisitsEachMemberAfterItsChildrenAndLaterSiblings) {
  COperationClanbook tree;
  Add(tree, u"", u"R", 1900);
  Add(tree, u"R", u"a", 1920);
  Add(tree, u"R", u"b", 1921);
  Add(tree, u"a", u"a1", 1950);
  Add(tree, u"b", u"b1", 1950);
  std::string order;
  COperationClanbook::VisitPostOrder(
      tree.Root(), [&](const MemberNode* member) { order += Narrow(member->name) + " "; });
  EXPECT_EQ(order, "a1 b1 b a R ");
  tree.Clear();
  EXPECT_EQ(tree.Root(), nullptr);
  EXPECT_EQ(Find(tree, u"R"), nullptr);
  tree.Reset();
  EXPECT_EQ(tree.Root(), nullptr);
}

// Random edits on a genealogy with many repeated names; after every step each
// search from the root must agree with the specified recursive search.
TEST(Tree, IndexAgreesWithTheSpecifiedSearchThroughRandomEdits) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 20; ++round) {
    COperationClanbook tree;
    std::vector<MemberNode*> members;
    auto name = [&] { return std::u16string(1, static_cast<char16_t>(u'A' + random() % 6)); };
    auto check = [&] {
      for (char16_t c = u'A'; c < u'A' + 7; ++c) {
        std::u16string n(1, c);
        MemberNode* expected = nullptr;
        ReferenceFind(tree.Root(), expected, n);
        ASSERT_EQ(Find(tree, n), expected) << Narrow(n) << " in round " << round;
      }
    };
    for (int step = 0; step < 300; ++step) {
      const unsigned action = random() % 10;
      if (members.empty() || action < 5) {
        MemberNode* parent =
            members.empty() || random() % 20 == 0 ? nullptr : members[random() % members.size()];
        MemberNode* m = Make(name(), 1900 + static_cast<int>(random() % 50));
        tree.InsertMember(parent, m);
        members.push_back(m);
      } else if (action < 7) {
        MemberNode* victim = members[random() % members.size()];
        tree.DeleteMember(victim);
        members = {};
        tree.VisitPreOrder(members, tree.Root(),
                           [](std::vector<MemberNode*>& v, MemberNode* m) { v.push_back(m); });
      } else {
        MemberNode* m = members[random() % members.size()];
        MemberNode source = *m;
        source.name = name();
        tree.UpdateMemberData(m, source);
      }
      check();
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace

namespace {

TEST(Tree, SwapExchangesMembersIndexAndTheRememberedFamily) {
  COperationClanbook first;
  COperationClanbook second;
  Add(first, u"", u"R1", 1900);
  Add(first, u"R1", u"a", 1930);  // first remembers R1's family
  {
    COperationClanbook loaded;
    Add(loaded, u"", u"R2", 1800);
    Add(loaded, u"R2", u"b", 1830);
    first.Swap(loaded);
    EXPECT_EQ(Find(loaded, u"a")->parent->name, u"R1");
    EXPECT_EQ(Find(loaded, u"b"), nullptr);
  }  // the old genealogy is released here
  EXPECT_EQ(first.Root()->name, u"R2");
  EXPECT_EQ(Find(first, u"R1"), nullptr);
  Add(first, u"R2", u"c", 1840);
  Add(first, u"R2", u"d", 1835);
  EXPECT_EQ(Children(first.Root()), "b d c");
  second.Swap(first);
  EXPECT_EQ(first.Root(), nullptr);
  EXPECT_EQ(Find(second, u"d")->parent, second.Root());
}

}  // namespace
