// The genealogy file: what Save writes, what Load accepts, the result codes of
// every kind of file, and the order of members after a round trip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "../model/ModelTestSupport.h"
#include "FtfFileTest.h"
#include "formats/FtfFormat.h"

using namespace modeltest;
namespace fs = std::filesystem;

namespace {

const char kExample[] =
    "Alder 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "Birch 1930 10 1 1 Riverside 1 Alder\r\n"
    "Cedar 1960 12 24 0 Hilltop 1 Birch\r\n"
    "end 1999 12 2 1 end 1 end";

TEST_F(FileTest, ExampleLoadsAndSavesByteForByte) {
  ASSERT_EQ(LoadText(kExample), kFileOk);
  const MemberNode* alder = tree_.GetRootLink();
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
  EXPECT_EQ(tree_.GetRootLink()->name, u"Solo");
  EXPECT_EQ(tree_.GetRootLink()->firstChild, nullptr);
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
  EXPECT_EQ(tree_.GetRootLink()->alive, 7);
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
  EXPECT_EQ(Children(tree_.GetRootLink()), "A");
  // A later member named "end" ends the load, dropping itself and the rest;
  // its dates play no part.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1930 1 1 0 end 1 R\nend 1800 13 40 0 end 1 A\n"
                     "B 1931 1 1 0 end 1 R\n"),
            kFileOk);
  EXPECT_EQ(Children(tree_.GetRootLink()), "A");
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1930 1 1 0 end 1 R\nX 1 99 99 0 end 1 X\n"),
            kFileOk);
  EXPECT_EQ(Children(tree_.GetRootLink()), "A");
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
  EXPECT_EQ(Children(tree_.GetRootLink()), "C A2 B A");
  // Read from a file, twins stay in the file's order, so open and save
  // writes the same bytes however often it is done.
  const std::string first = SaveText();
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(LoadText(first), kFileOk);
    EXPECT_EQ(Children(tree_.GetRootLink()), "C A2 B A");
    EXPECT_EQ(SaveText(), first);
  }
  // Also in a family the loader does not meet in pre-order.
  const std::string scattered =
      "P 1900 1 1 0 end 1 -1\r\nQ 1920 1 1 0 end 1 P\r\nX 1950 1 1 0 end 1 P\r\n"
      "Y 1950 1 1 0 end 1 P\r\nZ 1930 1 1 0 end 1 Q\r\nW 1950 1 1 0 end 1 P\r\n" +
      std::string(kEnd);
  ASSERT_EQ(LoadText(scattered), kFileOk);
  EXPECT_EQ(Children(tree_.GetRootLink()), "Q X Y W");
}

TEST_F(FileTest, DuplicateNamesAttachToTheFirstBearerInPreOrder) {
  // The nearest X above the record is not the one the search from the root
  // finds: that is the elder X, first in pre-order.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nX 1920 1 1 0 end 1 R\nA 1940 1 1 0 end 1 X\n"
                     "X 1960 1 1 0 end 1 A\nZ 1980 1 1 0 end 1 X\n" +
                     std::string(kEnd)),
            kFileOk);
  EXPECT_EQ(Shape(tree_), "R<-> X<R> A<X> X<A> Z<X> ");
  const MemberNode* elder = tree_.GetRootLink()->firstChild;
  EXPECT_EQ(Children(elder), "A Z");
  // A father that leaves the line read so far: the root's second child and a
  // grandchild under its first child both bear the name; the grandchild wins.
  ASSERT_EQ(LoadText("R 1900 1 1 0 end 1 -1\nA 1920 1 1 0 end 1 R\nX 1925 1 1 0 end 1 R\n"
                     "X 1950 1 1 0 end 1 A\nZ 1980 1 1 0 end 1 X\n" +
                     std::string(kEnd)),
            kFileOk);
  MemberNode* z = nullptr;
  tree_.FindByName(tree_.GetRootLink(), z, u"Z");
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
  EXPECT_EQ(Children(tree_.GetRootLink()), "B C A");
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
  EXPECT_EQ(tree_.GetRootLink()->name.size(), 127u);
  EXPECT_EQ(tree_.GetRootLink()->address.size(), 127u);
  EXPECT_EQ(tree_.GetRootLink()->birthYear, INT32_MIN);
  EXPECT_EQ(tree_.GetRootLink()->deathYear, INT32_MAX);
  ASSERT_EQ(LoadText("R +1900 +01 001 -0 end 1 -1\n" + end), kFileOk);
  EXPECT_EQ(tree_.GetRootLink()->birthYear, 1900);
  EXPECT_EQ(tree_.GetRootLink()->birthDay, 1);
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
    tree_.InsertMember(tree_.GetRootLink(), m);
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
  ASSERT_NE(tree_.GetRootLink(), nullptr);
  EXPECT_EQ(tree_.GetRootLink()->name, u"\uFEFF孔丘");
  // The root may be named "end"; its father field is "-1".
  tree_.Clear();
  Add(tree_, u"", u"end", 1900);
  EXPECT_EQ(formats::SaveFtf(target, tree_).code, kFileOk);
  EXPECT_EQ(formats::LoadFtf(target, tree_).code, kFileOk);
}

}  // namespace
