// The genealogy file: what Save writes, what Load accepts, the result codes of
// every kind of file, and the order of members after a round trip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"
#include "formats/ftf/FtfCodec.h"

using namespace modeltest;
namespace fs = std::filesystem;

namespace {

class FileTest : public TempFolderTest {
protected:
  // Through the codec that Load and Save wrap, in memory.
  int LoadText(const std::string& bytes) { return ftf::Read(bytes, tree_, {}).code; }
  std::string SaveText() {
    std::string out;
    EXPECT_EQ(ftf::Write(tree_,
                         [&out](std::string_view piece) {
                           out.append(piece);
                           return true;
                         })
                  .code,
              kFileOk);
    return out;
  }
  bool Empty() const { return tree_.Root() == nullptr; }

  COperationClanbook tree_;
};

const char kEnd[] = "end 1999 12 2 1 end 1 end";
const char kExample[] =
    "Alder 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "Birch 1930 10 1 1 Riverside 1 Alder\r\n"
    "Cedar 1960 12 24 0 Hilltop 1 Birch\r\n"
    "end 1999 12 2 1 end 1 end";

TEST_F(FileTest, ExampleLoadsAndSavesByteForByte) {
  ASSERT_EQ(LoadText(kExample), kFileOk);
  const MemberNode* alder = tree_.Root();
  ASSERT_NE(alder, nullptr);
  EXPECT_EQ(alder->name, u"Alder");
  EXPECT_EQ(alder->address, u"");
  EXPECT_EQ(alder->married, 1);
  EXPECT_EQ(alder->alive, 0);
  EXPECT_EQ(alder->deathYear, 1970);
  EXPECT_EQ(alder->deathMonth, 5);
  EXPECT_EQ(alder->deathDay, 6);
  const MemberNode* birch = alder->firstChild;
  ASSERT_NE(birch, nullptr);
  EXPECT_EQ(birch->address, u"Riverside");
  EXPECT_EQ(birch->alive, 1);
  EXPECT_EQ(birch->parent, alder);
  ASSERT_NE(birch->firstChild, nullptr);
  EXPECT_EQ(birch->firstChild->name, u"Cedar");
  EXPECT_EQ(birch->firstChild->married, 0);
  EXPECT_EQ(SaveText(), kExample);
  EXPECT_EQ(alder->address, u"");  // the placeholder is never stored
}

TEST_F(FileTest, EmptyGenealogySavesNothingAndTheEndLineLoadsAsNoRoot) {
  // Saving nothing would put an empty book in the place of a real one.
  const fs::path target = Write("R 1900 1 1 0 end 1 -1\r\nend 1999 12 2 1 end 1 end");
  EXPECT_EQ(formats::SaveFtf(target, tree_).code, kFileCannotWrite);
  EXPECT_EQ(formats::SaveFtf(target, tree_).problem, FileProblem::kNothingToSave);
  EXPECT_EQ(Read(target), "R 1900 1 1 0 end 1 -1\r\nend 1999 12 2 1 end 1 end");
  EXPECT_EQ(Listing(), "g.ftf");
  EXPECT_EQ(LoadText(kEnd), kFileNoRoot);
  EXPECT_TRUE(Empty());
  // Nothing at all, or only white space, holds no root either.
  EXPECT_EQ(LoadText(""), kFileNoRoot);
  EXPECT_EQ(LoadText(" \r\n\t "), kFileNoRoot);
  EXPECT_TRUE(Empty());
}

TEST_F(FileTest, OneMemberAndTheNumberOfFieldsOfEachRecord) {
  Add(tree_, u"", u"Root", 1900, 1, 1)->alive = 1;
  MemberNode* dead = Add(tree_, u"Root", u"Dead", 1920, 3, 4);
  dead->alive = 0;
  dead->deathYear = 1990;
  dead->deathMonth = 7;
  dead->deathDay = 8;
  dead->married = 1;
  dead->address = u"Town";
  EXPECT_EQ(SaveText(),
            "Root 1900 1 1 0 end 1 -1\r\n"
            "Dead 1920 3 4 1 Town 0 1990 7 8 Root\r\n" +
                std::string(kEnd));
  tree_.Clear();
  ASSERT_EQ(LoadText("Solo 1900 1 1 0 end 1 -1\r\n" + std::string(kEnd)), kFileOk);
  EXPECT_EQ(tree_.Root()->name, u"Solo");
  EXPECT_EQ(tree_.Root()->firstChild, nullptr);
}

TEST_F(FileTest, LayoutOfWordsDoesNotMatter) {
  ASSERT_EQ(LoadText(kExample), kFileOk);
  const std::string expected = Shape(tree_);
  const std::string oneLine =
      "Alder 1901 2 3 1 end 0 1970 5 6 -1 Birch 1930 10 1 1 Riverside 1 Alder "
      "Cedar 1960 12 24 0 Hilltop 1 Birch end 1999 12 2 1 end 1 end";
  const std::string split =
      "\n\n  Alder\n1901\t2 3\r\n1 end 0\n1970 5\n6 -1\nBirch 1930 10 1 1\nRiverside 1\nAlder\n"
      "Cedar\f1960\v12 24 0 Hilltop 1 Birch\n\nend 1999 12 2 1 end 1 end\n\n";
  for (const std::string& text : {oneLine, split}) {
    ASSERT_EQ(LoadText(text), kFileOk);
    EXPECT_EQ(Shape(tree_), expected);
  }
  // Whatever follows the end line is never read.
  ASSERT_EQ(LoadText(std::string(kExample) + " garbage 1 2 3"), kFileOk);
}

TEST_F(FileTest, FatherMustComeEarlier) {
  EXPECT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nB 1960 1 1 0 end 1 A\nA 1930 1 1 0 end 1 R\n" +
                     std::string(kEnd)),
            kFileBadRelation);
  EXPECT_TRUE(Empty());
  EXPECT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nB 1960 1 1 0 end 1 Nobody\n" + std::string(kEnd)),
            kFileBadRelation);
  EXPECT_TRUE(Empty());
}

TEST_F(FileTest, ChildBornOnFathersDayLoadsOneDayEarlierFails) {
  EXPECT_EQ(LoadText("R 1900 5 5 0 end 1 -1\nA 1900 5 5 0 end 1 R\n" + std::string(kEnd)), kFileOk);
  EXPECT_EQ(LoadText("R 1900 5 5 0 end 1 -1\nA 1900 5 4 0 end 1 R\n" + std::string(kEnd)),
            kFileBadDate);
  EXPECT_TRUE(Empty());
  // A new root placed above an older root saves, and its file fails to load.
  tree_.Clear();
  Add(tree_, u"", u"Old", 1900);
  Add(tree_, u"", u"New", 1950);
  const std::string text = SaveText();
  EXPECT_EQ(LoadText(text), kFileBadDate);
  EXPECT_TRUE(Empty());
}

TEST_F(FileTest, DeathDates) {
  // Died on the day of birth: accepted, so that such a genealogy opens again.
  EXPECT_EQ(LoadText("R 1900 5 5 0 end 0 1900 5 5 -1\n" + std::string(kEnd)), kFileOk);
  EXPECT_EQ(LoadText("R 1900 5 5 0 end 0 1900 5 4 -1\n" + std::string(kEnd)), kFileBadDate);
  EXPECT_EQ(LoadText("R 1900 5 5 0 end 0 1950 2 29 -1\n" + std::string(kEnd)), kFileBadDate);
  EXPECT_EQ(LoadText("R 1900 2 29 0 end 1 -1\n" + std::string(kEnd)), kFileBadDate);
  // A living member's record has no death date to check, whatever `alive` holds.
  ASSERT_EQ(LoadText("R 1900 5 5 0 end 7 -1\n" + std::string(kEnd)), kFileOk);
  EXPECT_EQ(tree_.Root()->alive, 7);
  // The same through the entry path: saved and opened again.
  tree_.Clear();
  MemberNode* m = Add(tree_, u"", u"Baby", 2001, 3, 3);
  m->alive = 0;
  m->deathYear = 2001;
  m->deathMonth = 3;
  m->deathDay = 3;
  EXPECT_EQ(LoadText(SaveText()), kFileOk);
}

TEST_F(FileTest, FileThatCannotBeOpenedStillEmptiesTheGenealogy) {
  ASSERT_EQ(LoadText(kExample), kFileOk);
  EXPECT_EQ(formats::LoadFtf(folder_ / "missing.ftf", tree_).code, kFileCannotOpen);
  EXPECT_TRUE(Empty());
  ASSERT_EQ(LoadText(kExample), kFileOk);
  EXPECT_EQ(formats::LoadFtf(folder_, tree_).code, kFileCannotOpen);  // a folder
  EXPECT_TRUE(Empty());
  // Neither a device nor a named pipe is read (either could block or never end).
  EXPECT_EQ(formats::LoadFtf("/dev/zero", tree_).code, kFileCannotOpen);
  ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(formats::LoadFtf(folder_ / "pipe", tree_).code, kFileCannotOpen);
}

TEST_F(FileTest, EndOfTheFileByNameEndOrANameEqualToItsFather) {
  // The root may be named "end".
  ASSERT_EQ(LoadText("end 1900 1 1 0 end 1 -1\nA 1930 1 1 0 end 1 end\n" + std::string(kEnd)),
            kFileOk);
  EXPECT_EQ(Children(tree_.Root()), "A");
  // A later member named "end" ends the load, dropping itself and the rest;
  // its dates play no part.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1930 1 1 0 end 1 R\nend 1800 13 40 0 end 1 A\n"
                     "B 1931 1 1 0 end 1 R\n"),
            kFileOk);
  EXPECT_EQ(Children(tree_.Root()), "A");
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1930 1 1 0 end 1 R\nX 1 99 99 0 end 1 X\n"),
            kFileOk);
  EXPECT_EQ(Children(tree_.Root()), "A");
  // The root's own father field is not examined unless it equals its name.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 Somebody\n" + std::string(kEnd)), kFileOk);
  EXPECT_EQ(LoadText("R 1900 1 1 0 end 1 R\nA 1930 1 1 0 end 1 R\n"), kFileNoRoot);
  EXPECT_EQ(LoadText("R 1900 2 30 0 end 1 R\n"), kFileBadDate);  // dates checked first
}

TEST_F(FileTest, SameDaySiblingsKeepTheirOrderOverRoundTrips) {
  Add(tree_, u"", u"P", 1900);
  Add(tree_, u"P", u"A", 1930, 6, 1);
  Add(tree_, u"P", u"C", 1925, 1, 1);
  // Added by hand, a child goes before the children born on his day.
  Add(tree_, u"P", u"B", 1930, 6, 1);
  Add(tree_, u"P", u"A2", 1930, 6, 1);
  EXPECT_EQ(Children(tree_.Root()), "C A2 B A");
  // Read from a file, twins stay in the file's order, so open and save
  // writes the same bytes however often it is done.
  const std::string first = SaveText();
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(LoadText(first), kFileOk);
    EXPECT_EQ(Children(tree_.Root()), "C A2 B A");
    EXPECT_EQ(SaveText(), first);
  }
  // Also in a family the loader does not meet in pre-order.
  const std::string scattered =
      "P 1900 1 1 0 end 1 -1\r\nQ 1920 1 1 0 end 1 P\r\nX 1950 1 1 0 end 1 P\r\n"
      "Y 1950 1 1 0 end 1 P\r\nZ 1930 1 1 0 end 1 Q\r\nW 1950 1 1 0 end 1 P\r\n" +
      std::string(kEnd);
  ASSERT_EQ(LoadText(scattered), kFileOk);
  EXPECT_EQ(Children(tree_.Root()), "Q X Y W");
}

TEST_F(FileTest, DuplicateNamesAttachToTheFirstBearerInPreOrder) {
  // The nearest X above the record is not the one the search from the root
  // finds: that is the elder X, first in pre-order.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nX 1920 1 1 0 end 1 R\nA 1940 1 1 0 end 1 X\n"
                     "X 1960 1 1 0 end 1 A\nZ 1980 1 1 0 end 1 X\n" +
                     std::string(kEnd)),
            kFileOk);
  EXPECT_EQ(Shape(tree_), "R<-> X<R> A<X> X<A> Z<X> ");
  const MemberNode* elder = tree_.Root()->firstChild;
  EXPECT_EQ(Children(elder), "A Z");
  // A father that leaves the line read so far: the root's second child and a
  // grandchild under its first child both bear the name; the grandchild wins.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1920 1 1 0 end 1 R\nX 1925 1 1 0 end 1 R\n"
                     "X 1950 1 1 0 end 1 A\nZ 1980 1 1 0 end 1 X\n" +
                     std::string(kEnd)),
            kFileOk);
  MemberNode* z = tree_.FindByName(u"Z");
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->parent->birthYear, 1950);
  // The check of the child's birth is made against that member as well.
  EXPECT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nX 1920 1 1 0 end 1 R\nA 1940 1 1 0 end 1 X\n"
                     "X 1960 1 1 0 end 1 A\nZ 1950 1 1 0 end 1 X\n" +
                     std::string(kEnd)),
            kFileOk);
}

TEST_F(FileTest, RecordsOutOfPreOrderStillLoadInBirthOrder) {
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1930 1 1 0 end 1 R\nB 1920 1 1 0 end 1 R\n"
                     "A1 1960 1 1 0 end 1 A\nB1 1950 1 1 0 end 1 B\nC 1925 1 1 0 end 1 R\n"
                     "A0 1955 1 1 0 end 1 A\n" +
                     std::string(kEnd)),
            kFileOk);
  EXPECT_EQ(Children(tree_.Root()), "B C A");
  EXPECT_EQ(Shape(tree_), "R<-> B<R> B1<B> C<R> A<R> A0<A> A1<A> ");
}

struct Malformed {
  const char* what;
  std::string text;
  int code;
};

TEST_F(FileTest, MalformedFilesFailWithACodeAndLeaveNothing) {
  const std::string root = "R 1900 1 1 0 end 1 -1\n";
  const std::string end = kEnd;
  const Malformed cases[] = {
      {"letters for a number", root + "A 1930 x 1 0 end 1 R\n" + end, kFileBadDate},
      {"number followed by letters", root + "A 1930 1x 1 0 end 1 R\n" + end, kFileBadDate},
      {"sign alone", "R - 1 1 0 end 1 -1\n" + end, kFileBadDate},
      {"two signs", "R +-1900 1 1 0 end 1 -1\n" + end, kFileBadDate},
      {"decimal point", "R 1900.0 1 1 0 end 1 -1\n" + end, kFileBadDate},
      {"above 32 bits", "R 2147483648 1 1 0 end 1 -1\n" + end, kFileBadDate},
      {"below 32 bits", "R 1900 1 1 0 end 0 -2147483649 1 1 -1\n" + end, kFileBadDate},
      {"far above 32 bits", "R 99999999999999999999999 1 1 0 end 1 -1\n" + end, kFileBadDate},
      {"flag not a number", "R 1900 1 1 yes end 1 -1\n" + end, kFileBadDate},
      {"name over 127", std::string(128, 'n') + " 1900 1 1 0 end 1 -1\n" + end, kFileBadDate},
      {"address over 127", "R 1900 1 1 0 " + std::string(128, 'a') + " 1 -1\n" + end, kFileBadDate},
      {"father over 127", root + "A 1930 1 1 0 end 1 " + std::string(128, 'R') + "\n" + end,
       kFileBadDate},
      {"missing field at the end", root + "A 1930 1 1 0 end 1", kFileBadRelation},
      {"missing death date at the end", root + "A 1930 1 1 0 end 0 1990", kFileBadRelation},
      {"no end line", root + "A 1930 1 1 0 end 1 R\n", kFileBadRelation},
      {"end line cut short", root + "end 1999 12 2 1 end 1", kFileBadRelation},
      {"only a name", "R", kFileBadRelation},
      {"a field missing inside", root + "A 1930 1 1 end 1 R\n" + end, kFileBadDate},
      {"bad number in the end line", root + "end 1999 xii 2 1 end 1 end", kFileBadDate},
  };
  for (const Malformed& c : cases) {
    ASSERT_EQ(LoadText(kExample), kFileOk);
    EXPECT_EQ(LoadText(c.text), c.code) << c.what;
    EXPECT_TRUE(Empty()) << c.what;
  }
  // The limits themselves are accepted.
  ASSERT_EQ(LoadText(std::string(127, 'n') + " -2147483648 1 1 0 " + std::string(127, 'a') +
                     " 0 2147483647 12 31 -1\n" + end),
            kFileOk);
  EXPECT_EQ(tree_.Root()->name.size(), 127u);
  EXPECT_EQ(tree_.Root()->address.size(), 127u);
  EXPECT_EQ(tree_.Root()->birthYear, INT32_MIN);
  EXPECT_EQ(tree_.Root()->deathYear, INT32_MAX);
  ASSERT_EQ(LoadText("R +1900 +01 001 -0 end 1 -1\n" + end), kFileOk);
  EXPECT_EQ(tree_.Root()->birthYear, 1900);
  EXPECT_EQ(tree_.Root()->birthDay, 1);
}

TEST_F(FileTest, SaveRefusesMembersThatWouldNotReadBack) {
  const fs::path target = folder_ / "kept.ftf";
  Write("old contents", "kept.ftf");
  struct Case {
    const char* what;
    std::u16string name;
    std::u16string address;
  } cases[] = {
      {"blank in the name", u"A B", u""},
      {"tab in the address", u"A", u"x\ty"},
      {"empty name", u"", u""},
      {"name over 127", std::u16string(128, u'n'), u""},
      {"lone surrogate", std::u16string(1, char16_t(0xD800)), u""},
      {"named end", u"end", u""},
      {"named like the father", u"R", u""},
  };
  for (const Case& c : cases) {
    tree_.Clear();
    Add(tree_, u"", u"R", 1900);
    MemberNode* m = Make(c.name, 1950);
    m->address = c.address;
    tree_.InsertMember(tree_.Root(), m);
    EXPECT_EQ(formats::SaveFtf(target, tree_).code, kFileCannotWrite) << c.what;
    EXPECT_EQ(Read(target), "old contents") << c.what;
  }
  EXPECT_EQ(Listing(), "kept.ftf");  // no temporary file left behind
  // A root named "-1" equals its own father field and would read as no root.
  tree_.Clear();
  Add(tree_, u"", u"-1", 1900);
  EXPECT_EQ(formats::SaveFtf(target, tree_).code, kFileCannotWrite);
  EXPECT_EQ(Read(target), "old contents");
  // A root whose name begins with U+FEFF keeps it through a save and a load.
  tree_.Clear();
  Add(tree_, u"", u"\uFEFF孔丘", 1900);
  EXPECT_EQ(formats::SaveFtf(target, tree_).code, kFileOk);
  EXPECT_EQ(formats::LoadFtf(target, tree_).code, kFileOk);
  ASSERT_NE(tree_.Root(), nullptr);
  EXPECT_EQ(tree_.Root()->name, u"\uFEFF孔丘");
  // The root may be named "end"; its father field is "-1".
  tree_.Clear();
  Add(tree_, u"", u"end", 1900);
  EXPECT_EQ(formats::SaveFtf(target, tree_).code, kFileOk);
  EXPECT_EQ(formats::LoadFtf(target, tree_).code, kFileOk);
}

// The loader as specified, word by word and with the specified search from the
// root, for comparison on random files.
int ReferenceLoad(const std::string& text, COperationClanbook& tree) {
  tree.Clear();
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  std::size_t at = 0;
  auto number = [&](std::int32_t& out) {
    if (at == words.size()) return -1;
    const std::string& w = words[at++];
    std::size_t i = (w[0] == '+' || w[0] == '-') ? 1 : 0;
    if (i == w.size() || w.find_first_not_of("0123456789", i) != std::string::npos) return 0;
    const long long v = std::stoll(w.substr(0, 19));
    if (w.size() > 12 || v < INT32_MIN || v > INT32_MAX) return 0;
    out = static_cast<std::int32_t>(v);
    return 1;
  };
  auto word = [&](std::u16string& out) {
    if (at == words.size()) return -1;
    const std::string& w = words[at++];
    if (w.size() > 127) return 0;
    out.assign(w.begin(), w.end());
    return 1;
  };
  std::u16string father;
  auto read = [&](MemberNode* m, int& status) -> int {
    int s = 1;
    for (auto step : {0, 1, 2, 3, 4, 5, 6}) {
      s = step == 0   ? word(m->name)
          : step == 5 ? word(m->address)
                      : number(step == 1   ? m->birthYear
                               : step == 2 ? m->birthMonth
                               : step == 3 ? m->birthDay
                               : step == 4 ? m->married
                                           : m->alive);
      if (s != 1) break;
    }
    if (s == 1 && m->address == u"end") m->address.clear();
    if (s == 1 && m->alive == 0)
      for (std::int32_t* f : {&m->deathYear, &m->deathMonth, &m->deathDay})
        if (s == 1) s = number(*f);
    if (s == 1) s = word(father);
    status = s == 1 ? 1 : s == 0 ? 0 : (at == words.size() && words.empty() ? -5 : -1);
    if (status != 1) return 0;
    if (!COperationClanbook::IsValidDate(m->birthYear, m->birthMonth, m->birthDay)) return 0;
    if (m->alive) return 1;
    return COperationClanbook::CompareDates(m->birthYear, m->birthMonth, m->birthDay, m->deathYear,
                                            m->deathMonth, m->deathDay) <= 0 &&
           COperationClanbook::IsValidDate(m->deathYear, m->deathMonth, m->deathDay);
  };
  auto* root = new MemberNode;
  int status;
  const int ok = read(root, status);
  if (status != 1 || !ok || root->name == father) {
    delete root;
    return status != 1 ? status : !ok ? 0 : -5;
  }
  tree.InsertMember(nullptr, root);
  for (;;) {
    auto* m = new MemberNode;
    const int plausible = read(m, status);
    if (status == 1 && (m->name == father || m->name == u"end")) {
      delete m;
      return 1;
    }
    int failure = status != 1 ? status : plausible ? 1 : 0;
    MemberNode* found = nullptr;
    if (failure == 1) {
      // The specified search, recursion and overwriting included.
      struct {
        void operator()(MemberNode* link, MemberNode*& result, std::u16string_view name) {
          while (link) {
            if (link->name == name) {
              result = link;
              return;
            }
            (*this)(link->nextSibling, result, name);
            link = link->firstChild;
          }
        }
      } find;
      find(tree.Root(), found, father);
      if (!found)
        failure = -1;
      else if (COperationClanbook::CompareDates(m->birthYear, m->birthMonth, m->birthDay,
                                                found->birthYear, found->birthMonth,
                                                found->birthDay) < 0)
        failure = 0;
    }
    if (failure != 1) {
      delete m;
      tree.Clear();
      return failure;
    }
    m->parent = found;
    m->firstChild = m->nextSibling = nullptr;
    // After the children born earlier or on the same day: a file keeps its
    // order of twins.
    MemberNode** link = &found->firstChild;
    while (*link && COperationClanbook::CompareDates((*link)->birthYear, (*link)->birthMonth,
                                                     (*link)->birthDay, m->birthYear, m->birthMonth,
                                                     m->birthDay) <= 0)
      link = &(*link)->nextSibling;
    m->nextSibling = *link;
    *link = m;
  }
}

std::string Fields(const COperationClanbook& tree) {
  std::string out;
  for (const MemberNode* m : PreOrder(tree)) {
    std::ostringstream s;
    s << Narrow(m->name) << ' ' << m->birthYear << '-' << m->birthMonth << '-' << m->birthDay << ' '
      << m->married << ' ' << Narrow(m->address) << ' ' << m->alive;
    if (!m->alive) s << ' ' << m->deathYear << '-' << m->deathMonth << '-' << m->deathDay;
    s << " <" << (m->parent ? Narrow(m->parent->name) : "-") << ">\n";
    out += s.str();
  }
  return out;
}

TEST_F(FileTest, RandomFilesLoadAsTheSpecifiedLoaderDoes) {
  std::mt19937 random(4242);
  int outcomes[8] = {};
  for (int round = 0; round < 900; ++round) {
    const int names = 3 + static_cast<int>(random() % 20);
    // A third of the files give most members one of a few names, so that
    // fathers are found among many bearers of their name.
    const bool crowded = round % 3 == 2;
    const int records = 1 + static_cast<int>(random() % 40);
    std::vector<std::string> written;
    // Half of the files are in pre-order, as Save writes them: each father is
    // on the line from the root to the record before.
    const bool preOrder = round % 2 == 0;
    std::vector<std::string> line;
    std::string lastDate;
    std::string text;
    for (int r = 0; r < records; ++r) {
      auto name = [&] { return std::string(1, static_cast<char>('A' + random() % names)); };
      std::string n = r == 0 || (crowded ? random() % 5 == 0 : random() % 3 != 0)
                          ? "m" + std::to_string(r)
                          : name();
      if (random() % 60 == 0) n = "end";
      const int year = 1900 + (random() % 6 ? 3 * r : static_cast<int>(random() % 60));
      std::string date = std::to_string(year) + " " + std::to_string(1 + random() % 12) + " " +
                         std::to_string(random() % 50 == 0 ? 31 : 1 + random() % 28);
      // Children born on one day, to test where each newcomer goes.
      if (r > 0 && random() % 3 == 0) date = lastDate;
      lastDate = date;
      std::string rec = n + " " + date + " " + std::to_string(random() % 2) + " " +
                        (random() % 2 ? "end" : "addr") + " ";
      if (random() % 3 == 0) {
        rec += "0 " + std::to_string(year + static_cast<int>(random() % 80) - 1) + " 1 1";
      } else {
        rec += "1";
      }
      std::string father = "-1";
      if (r > 0) {
        if (random() % 5 == 0)
          father = name();
        else if (random() % 30 == 0)
          father = "ghost";
        else
          father = preOrder ? line[random() % line.size()] : written[random() % written.size()];
      }
      if (random() % 80 == 0) father = n;
      rec += " " + father;
      if (random() % 100 == 0) rec = rec.substr(0, rec.size() / 2);  // cut short
      if (random() % 120 == 0) rec.replace(rec.find(' '), 1, " 19x0 ");
      written.push_back(n);
      if (preOrder) {
        const auto at = std::find(line.begin(), line.end(), father);
        if (at != line.end()) line.erase(at + 1, line.end());
        line.push_back(n);
      }
      text += rec + (random() % 5 ? "\r\n" : " ");
    }
    if (random() % 8) text += kEnd;
    COperationClanbook expected;
    const int expectedCode = ReferenceLoad(text, expected);
    ASSERT_EQ(LoadText(text), expectedCode) << text;
    ASSERT_EQ(Fields(tree_), Fields(expected)) << text;
    ++outcomes[expectedCode + 5];
  }
  // The random files reach every outcome but the two that need no data.
  EXPECT_GT(outcomes[kFileOk + 5], 50);
  EXPECT_GT(outcomes[kFileBadDate + 5], 20);
  EXPECT_GT(outcomes[kFileBadRelation + 5], 20);
  EXPECT_GT(outcomes[kFileNoRoot + 5], 0);
}

}  // namespace

namespace {

// One father's children in the order a file lists them, each a date.
struct ChildOrderRow {
  const char* label;
  std::vector<int> days;  // days after 1950-01-01, in file order
  bool grandchildren;     // each child has a son named like every other
};

std::string DateText(int days) {
  // Months of 28 days keep every date valid.
  return std::to_string(1950 + days / 336) + " " + std::to_string(1 + days / 28 % 12) + " " +
         std::to_string(1 + days % 28);
}

std::vector<ChildOrderRow> ChildOrderRows() {
  std::vector<ChildOrderRow> rows;
  const int n = 3000;
  std::vector<int> interleaved, reversed, shuffled, twins;
  for (int i = 0; i < n / 2; ++i) {
    interleaved.push_back(2 * i);
    interleaved.push_back(2 * i + 1 + n);  // the second run starts later
  }
  for (int i = n; i > 0; --i) reversed.push_back(i / 3);  // three born each day
  std::mt19937 random(77);
  for (int i = 0; i < n; ++i) shuffled.push_back(static_cast<int>(random() % 200));
  for (int i = 0; i < n; ++i) twins.push_back(i % 2 ? 500 - i / 7 : i / 7);
  rows.push_back({"two_interleaved_runs", interleaved, false});
  rows.push_back({"reversed_with_triplets", reversed, false});
  rows.push_back({"random_with_many_ties", shuffled, false});
  rows.push_back({"two_runs_of_twins", twins, false});
  rows.push_back({"interleaved_fathers_of_namesakes", interleaved, true});
  rows.push_back({"shuffled_fathers_of_namesakes", shuffled, true});
  return rows;
}

class ChildOrderTest : public FileTest, public ::testing::WithParamInterface<ChildOrderRow> {};

// However a large family is listed, every child ends where the loader that
// walks the list for each newcomer puts him, twins in the file's order, and
// a name borne in several of the children's lines names the first bearer in
// that order.
TEST_P(ChildOrderTest, LargeFamiliesOutOfBirthOrderLoadAsTheWalkingLoaderDoes) {
  const ChildOrderRow& row = GetParam();
  std::string text = "Root 1900 1 1 1 end 1 -1\r\n";
  for (std::size_t i = 0; i < row.days.size(); ++i)
    text += "c" + std::to_string(i) + " " + DateText(row.days[i]) + " 0 end 1 Root\r\n";
  if (row.grandchildren) {
    for (std::size_t i = 0; i < row.days.size(); i += 7)
      text += "Heir " + DateText(row.days[i] + 9000) + " 0 end 1 c" + std::to_string(i) + "\r\n";
    // Each goes under the first Heir in pre-order: the son of the eldest.
    for (int i = 0; i < 50; ++i)
      text += "g" + std::to_string(i) + " " + DateText(20000 + i % 5) + " 0 end 1 Heir\r\n";
  }
  text += kEnd;
  COperationClanbook expected;
  ASSERT_EQ(ReferenceLoad(text, expected), kFileOk);
  ASSERT_EQ(LoadText(text), kFileOk);
  EXPECT_EQ(Fields(tree_), Fields(expected));
}

INSTANTIATE_TEST_SUITE_P(Orders, ChildOrderTest, ::testing::ValuesIn(ChildOrderRows()),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
