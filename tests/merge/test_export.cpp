// Exporting a branch: a deep copy with the member as root, and the command
// line around it.
#include <gtest/gtest.h>

#include <sstream>

#include "../formats/FileTestSupport.h"
#include "MergeTestSupport.h"
#include "formats/FtfFormat.h"

using namespace mergetest;
namespace fs = std::filesystem;

namespace {

// Dump of the members from `top` down, `top` shown as a root.
std::string DumpFrom(const COperationClanbook& book, const MemberNode* top) {
  COperationClanbook copy;
  ExtractBranch(book, top, copy);
  return Dump(copy);
}

TEST(ExtractBranch, CopiesTheMemberAndEveryDescendantAsANewBook) {
  COperationClanbook book;
  BuildClan(book);
  // Twins (same birthday) keep their order, which insertion in birth order
  // alone would reverse
  // (a twin added later goes before the one already there).
  Add(book, u"A1", u"TwinYoung", 1992, 5, 5);
  Add(book, u"A1", u"TwinOld", 1992, 5, 5);
  const std::string before = Dump(book);
  struct Row {
    std::u16string top;
    std::string shape;
  };
  for (const Row& row : {Row{u"A", "A<-> A1<A> A11<A1> TwinOld<A1> TwinYoung<A1> A2<A> "},
                         Row{u"Root", modeltest::Shape(book)}, Row{u"B1", "B1<-> "}}) {
    SCOPED_TRACE(Narrow(row.top));
    COperationClanbook out;
    Add(out, u"", u"Stale", 1);  // replaced, not added to
    ExtractBranch(book, Find(book, row.top), out);
    EXPECT_EQ(modeltest::Shape(out), row.shape);
    // Same data member for member, and the names are found in the copy.
    const std::string dump = Dump(out);
    const MemberNode* top = Find(out, row.top);
    ASSERT_EQ(top, out.Root());
    EXPECT_NE(dump.find(Narrow(row.top) + "<-> "), std::string::npos);
    for (const MemberNode* m : modeltest::PreOrder(out)) {
      const MemberNode* original = Find(book, m->name);
      ASSERT_NE(original, m);
      EXPECT_EQ(original->address, m->address);
      EXPECT_EQ(CompareBirthDates(*original, *m), 0);
    }
    EXPECT_EQ(Find(out, u"Stale"), nullptr);
  }
  EXPECT_EQ(Dump(book), before);
}

TEST(ExtractBranch, CopiesAWideFamilyAndADeepLineWithoutRecursion) {
  constexpr int kSize = 200000;
  COperationClanbook wide;
  COperationClanbook deep;
  Add(wide, u"", u"W", 1);
  MemberNode* father = wide.Root();
  modeltest::DayCounter day;
  for (int i = 0; i < kSize; ++i, day.Next())
    wide.InsertMember(father,
                      modeltest::Make(modeltest::SerialName(i), day.year, day.month, day.day));
  MemberNode* last = nullptr;
  for (int i = 0; i < kSize; ++i) {
    MemberNode* m = modeltest::Make(modeltest::SerialName(i), 1000 + i);
    deep.InsertMember(last, m);
    last = m;
  }
  for (COperationClanbook* book : {&wide, &deep}) {
    COperationClanbook out;
    ExtractBranch(*book, book->Root(), out);
    EXPECT_EQ(modeltest::Shape(out), modeltest::Shape(*book));
  }
}

class ExportBranchFileTest : public modeltest::TempFolderTest {};

TEST_F(ExportBranchFileTest, SavesTheBranchOrSaysWhyNot) {
  COperationClanbook book;
  BuildClan(book);
  const fs::path in = folder_ / "clan.ftf";
  ASSERT_EQ(formats::SaveFtf(in, book).code, kFileOk);
  struct Row {
    fs::path in;
    std::string name;
    fs::path out;
    int code;
    std::string message;
  };
  const Row rows[] = {
      {in, "A", folder_ / "a.ftf", kBranchOk, "A and 3 descendants saved"},
      {in, "Nobody", folder_ / "n.ftf", kBranchNotFound, "nobody in"},
      {folder_ / "missing.ftf", "A", folder_ / "m.ftf", kBranchCannotRead, "cannot read"},
      {in, "A", folder_ / "no-such-folder" / "a.ftf", kBranchCannotWrite, "cannot save"},
      {in, "\xff", folder_ / "x.ftf", kBranchBadName, "no UTF-8"},
      {in, "", folder_ / "e.ftf", kBranchBadName, "no UTF-8"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    std::ostringstream messages;
    EXPECT_EQ(ExportBranchFile(row.in, row.name, row.out, messages), row.code);
    EXPECT_NE(messages.str().find(row.message), std::string::npos) << messages.str();
    EXPECT_EQ(fs::exists(row.out), row.code == kBranchOk);
  }
  COperationClanbook branch;
  ASSERT_EQ(formats::LoadFtf(folder_ / "a.ftf", branch).code, kFileOk);
  EXPECT_EQ(Dump(branch), DumpFrom(book, Find(book, u"A")));
}

}  // namespace
