// Random sequences of every operation that changes a genealogy (additions
// below a father and above the root, deletions of subtrees, changes of data
// with renames, saving and loading, emptying, exchanging two genealogies),
// checked after each step against a plain model that follows the described
// algorithms one step at a time: the shape of the tree, the order of every
// children list, the search by name from the root and from any member, the
// birthday search, positions, generations and counts.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <unordered_map>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"

using namespace modeltest;

namespace {

struct RefNode {
  MemberNode data;  // only the data fields are used
  RefNode* parent = nullptr;
  std::vector<RefNode*> children;
};

int CompareBirth(const MemberNode& a, const MemberNode& b) {
  return COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay);
}

// The plain model: children in vectors, every operation as described.
struct RefTree {
  RefNode* root = nullptr;
  std::vector<std::unique_ptr<RefNode>> pool;

  RefNode* New(const MemberNode& data) {
    pool.push_back(std::make_unique<RefNode>());
    pool.back()->data = data;
    return pool.back().get();
  }
  // Before the first child born on the same day or later, else at the end.
  static void InsertInBirthOrder(RefNode* father, RefNode* n) {
    auto& list = father->children;
    std::size_t at = 0;
    while (at < list.size() && CompareBirth(list[at]->data, n->data) < 0) ++at;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), n);
    n->parent = father;
  }
  // A member read from a file goes after the children born on his day.
  static void InsertAfterSameDay(RefNode* father, RefNode* n) {
    auto& list = father->children;
    std::size_t at = 0;
    while (at < list.size() && CompareBirth(list[at]->data, n->data) <= 0) ++at;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), n);
    n->parent = father;
  }
  void Insert(RefNode* father, RefNode* n) {
    if (father) {
      InsertInBirthOrder(father, n);
      return;
    }
    if (root) {
      n->children = {root};
      root->parent = n;
    }
    root = n;
  }
  void Delete(RefNode* n) {
    if (!n->parent) {
      root = nullptr;
      return;
    }
    auto& list = n->parent->children;
    list.erase(std::find(list.begin(), list.end(), n));
  }
  static void Update(RefNode* n, const MemberNode& s) {
    MemberNode& d = n->data;
    d.name = s.name;
    d.address = s.address;
    d.birthYear = s.birthYear;
    d.birthMonth = s.birthMonth;
    d.birthDay = s.birthDay;
    d.married = s.married;
    d.alive = s.alive;
    if (s.alive == 0) {
      d.deathYear = s.deathYear;
      d.deathMonth = s.deathMonth;
      d.deathDay = s.deathDay;
    }
  }
  // The described search over the chain that starts at list[i]: a match ends
  // its own chain, the later siblings are searched, then the children, each
  // match overwriting the last.
  static void Find(const std::vector<RefNode*>& list, std::size_t i, RefNode*& result,
                   std::u16string_view name) {
    const std::vector<RefNode*>* chain = &list;
    while (i < chain->size()) {
      RefNode* m = (*chain)[i];
      if (m->data.name == name) {
        result = m;
        return;
      }
      Find(*chain, i + 1, result, name);
      chain = &m->children;
      i = 0;
    }
  }
  RefNode* FindFromRoot(std::u16string_view name) const {
    RefNode* result = nullptr;
    if (root) Find(std::vector<RefNode*>{root}, 0, result, name);
    return result;
  }
  void PreOrder(RefNode* n, std::vector<RefNode*>& out) const {
    out.push_back(n);
    for (RefNode* c : n->children) PreOrder(c, out);
  }
  std::vector<RefNode*> All() const {
    std::vector<RefNode*> out;
    if (root) PreOrder(root, out);
    return out;
  }
  // What Save and Load of this genealogy give: the save's result, and the
  // load's result with the tree it builds (records in pre-order, each father
  // found by name from the root).
  int SaveAndLoad(RefTree& loaded, int& loadResult) const {
    const std::vector<RefNode*> all = All();
    for (RefNode* n : all) {
      const bool endsTheFile = n->parent
                                   ? n->data.name == u"end" || n->data.name == n->parent->data.name
                                   : n->data.name == u"-1";
      if (endsTheFile) return kFileCannotWrite;
    }
    loaded = RefTree{};
    if (all.empty()) {
      loadResult = kFileNoRoot;
      return kFileOk;
    }
    for (RefNode* n : all) {
      const MemberNode& d = n->data;
      if (!COperationClanbook::IsValidDate(d.birthYear, d.birthMonth, d.birthDay) ||
          (d.alive == 0 &&
           (COperationClanbook::CompareDates(d.birthYear, d.birthMonth, d.birthDay, d.deathYear,
                                             d.deathMonth, d.deathDay) > 0 ||
            !COperationClanbook::IsValidDate(d.deathYear, d.deathMonth, d.deathDay)))) {
        loaded = RefTree{};
        loadResult = kFileBadDate;
        return kFileOk;
      }
      RefNode* copy = loaded.New(d);
      if (!n->parent) {
        loaded.root = copy;
        continue;
      }
      RefNode* father = loaded.FindFromRoot(n->parent->data.name);
      if (CompareBirth(d, father->data) < 0) {
        loaded = RefTree{};
        loadResult = kFileBadDate;
        return kFileOk;
      }
      InsertAfterSameDay(father, copy);
    }
    loadResult = kFileOk;
    return kFileOk;
  }
};

class TreeDifferentialTest : public TempFolderTest {
protected:
  std::mt19937 random_{20250611};
  MemberNode* lastFather_ = nullptr;  // compared, never followed: he may be gone
  COperationClanbook real_[2];
  RefTree ref_[2];
  std::unordered_map<const MemberNode*, RefNode*> map_;

  static std::vector<MemberNode*> Members(const COperationClanbook& tree) {
    std::vector<MemberNode*> out;
    tree.VisitPreOrder(out, tree.Root(),
                       [](std::vector<MemberNode*>& v, MemberNode* m) { v.push_back(m); });
    return out;
  }

  std::u16string Name() {
    static const char16_t* const kNames[] = {u"甲", u"乙", u"丙", u"丁", u"戊", u"A", u"B"};
    if (random_() % 80 == 0) return u"end";
    return kNames[random_() % 7];
  }
  // Few distinct days, so that siblings born on one day are common.
  void RandomDate(MemberNode& m, int baseYear) {
    m.birthYear = baseYear + static_cast<int>(random_() % 3);
    m.birthMonth = 1 + static_cast<int>(random_() % 2);
    m.birthDay = 1 + static_cast<int>(random_() % 2);
  }
  MemberNode RandomData(int baseYear) {
    MemberNode m;
    m.name = Name();
    RandomDate(m, baseYear);
    m.married = static_cast<int>(random_() % 2);
    m.address = random_() % 2 ? u"" : u"城南";
    m.alive = static_cast<int>(random_() % 4 != 0);
    m.deathYear = m.birthYear + static_cast<int>(random_() % 3);
    m.deathMonth = 1 + static_cast<int>(random_() % 12);
    m.deathDay = 1 + static_cast<int>(random_() % 28);
    return m;
  }

  // Pairs the members of a freshly loaded genealogy with the model's, which
  // must have the same shape; the shape itself is checked by Check.
  void Pair(const MemberNode* m, RefNode* r) {
    ASSERT_EQ(m == nullptr, r == nullptr);
    if (!m) return;
    map_[m] = r;
    std::size_t i = 0;
    for (const MemberNode* c = m->firstChild; c; c = c->nextSibling, ++i) {
      ASSERT_LT(i, r->children.size());
      Pair(c, r->children[i]);
      if (HasFatalFailure()) return;
    }
  }

  void CheckMember(const COperationClanbook& tree, const MemberNode* m, RefNode* r, int generation,
                   int position) {
    ASSERT_EQ(map_.at(m), r);
    ASSERT_EQ(m->name, r->data.name);
    ASSERT_EQ(CompareBirth(*m, r->data), 0);
    ASSERT_EQ(m->alive, r->data.alive);
    if (!m->alive) {
      ASSERT_EQ(m->deathYear, r->data.deathYear);
      ASSERT_EQ(m->deathMonth, r->data.deathMonth);
      ASSERT_EQ(m->deathDay, r->data.deathDay);
    }
    ASSERT_EQ(tree.GetGeneration(m), generation);
    ASSERT_EQ(tree.GetSiblingPosition(m), position);
    ASSERT_EQ(tree.CountChildren(m), static_cast<int>(r->children.size()));
    std::size_t i = 0;
    for (const MemberNode *c = m->firstChild, *elder = nullptr; c;
         elder = c, c = c->nextSibling, ++i) {
      ASSERT_LT(i, r->children.size()) << "too many children of " << Narrow(m->name);
      ASSERT_EQ(c->parent, m);
      ASSERT_EQ(tree.ElderSibling(c), elder);
      CheckMember(tree, c, r->children[i], generation + 1, static_cast<int>(i) + 1);
      if (HasFatalFailure()) return;
    }
    ASSERT_EQ(i, r->children.size()) << "too few children of " << Narrow(m->name);
  }

  void Check(int which) {
    const COperationClanbook& tree = real_[which];
    const RefTree& ref = ref_[which];
    MemberNode* root = tree.Root();
    ASSERT_EQ(root == nullptr, ref.root == nullptr);
    if (root) {
      ASSERT_EQ(root->parent, nullptr);
      ASSERT_EQ(root->nextSibling, nullptr);
      CheckMember(tree, root, ref.root, 1, 1);
      if (HasFatalFailure()) return;
    }
    int count = tree.CountMembers(root);
    const std::vector<RefNode*> all = ref.All();
    ASSERT_EQ(count, static_cast<int>(all.size()));
    for (const char16_t* name : {u"甲", u"乙", u"丙", u"丁", u"戊", u"A", u"B", u"end", u"无"}) {
      MemberNode* found = tree.FindByName(name);
      RefNode* expected = ref.FindFromRoot(name);
      ASSERT_EQ(found ? map_.at(found) : nullptr, expected) << "FindByName " << Narrow(name);
    }
    // From a member inside the tree the search covers its chain only.
    std::vector<MemberNode*> members = Members(tree);
    if (!members.empty()) {
      MemberNode* start = members[random_() % members.size()];
      RefNode* r = map_.at(start);
      const std::vector<RefNode*> single{r};
      const std::vector<RefNode*>& list = r->parent ? r->parent->children : single;
      const std::size_t at =
          static_cast<std::size_t>(std::find(list.begin(), list.end(), r) - list.begin());
      for (const char16_t* name : {u"甲", u"乙", u"A"}) {
        MemberNode* found = tree.FindByName(start, name);
        RefNode* expected = nullptr;
        RefTree::Find(list, at, expected, name);
        ASSERT_EQ(found ? map_.at(found) : nullptr, expected);
      }
    }
    const std::vector<MemberNode*> born = tree.FindByBirthday(1, 2);
    std::vector<RefNode*> expectedBorn;
    for (RefNode* r : all)
      if (r->data.birthMonth == 1 && r->data.birthDay == 2) expectedBorn.push_back(r);
    ASSERT_EQ(born.size(), expectedBorn.size());
    for (std::size_t i = 0; i < born.size(); ++i) ASSERT_EQ(map_.at(born[i]), expectedBorn[i]);
  }

  // One random operation on genealogy `which`. Returns a label for messages.
  const char* Step(int which) {
    COperationClanbook& tree = real_[which];
    RefTree& ref = ref_[which];
    std::vector<MemberNode*> members = Members(tree);
    const unsigned action = random_() % 100;
    if (members.empty() || action < 60) {
      // Mostly below a father, sometimes a new root above the old one.
      // Often the family added to last, whose end the genealogy remembers.
      const bool again = lastFather_ && random_() % 2 &&
                         std::find(members.begin(), members.end(), lastFather_) != members.end();
      MemberNode* father = members.empty() || random_() % 15 == 0 ? nullptr
                           : again                                ? lastFather_
                                   : members[random_() % members.size()];
      lastFather_ = father;
      MemberNode data = RandomData(father        ? father->birthYear
                                   : tree.Root() ? tree.Root()->birthYear - 3
                                                 : 1900);
      auto* m = new MemberNode(data);
      const int place = father ? tree.PlaceOfNewChild(father, data) : 0;
      tree.InsertMember(father, m);
      if (father && tree.GetSiblingPosition(m) != place + 1)
        ADD_FAILURE() << "PlaceOfNewChild said " << place << ", InsertMember put the child at "
                      << tree.GetSiblingPosition(m) - 1;
      RefNode* r = ref.New(data);
      ref.Insert(father ? map_.at(father) : nullptr, r);
      map_[m] = r;
      return father ? "InsertMember" : "InsertMember (new root)";
    }
    if (action < 70) {
      MemberNode* victim = members[random_() % members.size()];
      RefNode* r = map_.at(victim);
      tree.DeleteMember(victim);
      ref.Delete(r);
      return "DeleteMember";
    }
    if (action < 88) {
      MemberNode* m = members[random_() % members.size()];
      MemberNode source = RandomData(m->birthYear - 1);
      if (random_() % 3 == 0) source.name = m->name;
      tree.UpdateMemberData(m, source);
      RefTree::Update(map_.at(m), source);
      return "UpdateMemberData";
    }
    if (action < 94) {
      const std::filesystem::path file = folder_ / "g.ftf";
      RefTree loaded;
      int expectedLoad = kFileNoRoot;
      const int expectedSave = ref.SaveAndLoad(loaded, expectedLoad);
      EXPECT_EQ(formats::SaveFtf(file, tree).code, expectedSave);
      if (expectedSave != kFileOk) return "Save (refused)";
      EXPECT_EQ(formats::LoadFtf(file, tree).code, expectedLoad);
      ref = std::move(loaded);
      Pair(tree.Root(), ref.root);
      return "Save and Load";
    }
    if (action < 95) {
      tree.Clear();
      ref.root = nullptr;
      return "Clear";
    }
    real_[0].Swap(real_[1]);
    std::swap(ref_[0], ref_[1]);
    return "Swap";
  }
};

TEST_F(TreeDifferentialTest, EveryOperationAgreesWithThePlainModel) {
  for (int step = 0; step < 6000; ++step) {
    const int which = random_() % 4 == 0 ? 1 : 0;
    const char* what = Step(which);
    ASSERT_FALSE(HasFailure()) << what << " at step " << step;
    for (int t = 0; t < 2; ++t) {
      Check(t);
      ASSERT_FALSE(HasFailure()) << "after " << what << " at step " << step << ", genealogy " << t;
    }
    // Start over now and then, so that small and fresh genealogies recur.
    if (step % 500 == 499) {
      real_[0].Reset();
      ref_[0].root = nullptr;
    }
  }
}

}  // namespace
