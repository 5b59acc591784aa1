// Merging a branch file into a book file as the command line does: the
// report, the saved result, and the files it must never write over.
#include <gtest/gtest.h>

#include <sstream>

#include "../formats/FileTestSupport.h"
#include "MergeTestSupport.h"
#include "formats/FtfFormat.h"
#include "merge/BranchExport.h"
#include "merge/BranchMerge.h"

using namespace mergetest;
namespace fs = std::filesystem;

namespace {

class MergeBranchFilesTest : public modeltest::TempFolderTest {};

TEST_F(MergeBranchFilesTest, MergesReportsConflictsAndSaves) {
  COperationClanbook book;
  BuildClan(book);
  COperationClanbook branch;
  ExtractBranch(book, Find(book, u"A"), branch);
  Add(branch, u"A1", u"B1", 1991);  // borne by B's son
  Add(branch, u"A2", u"Fresh", 1990);
  EditMember(branch, u"A2", [](MemberNode& m) { m.address = u"Mill"; });
  ASSERT_EQ(formats::SaveFtf(folder_ / "book.ftf", book).code, kFileOk);
  ASSERT_EQ(formats::SaveFtf(folder_ / "branch.ftf", branch).code, kFileOk);
  COperationClanbook stranger;
  Add(stranger, u"", u"Zed", 1950);
  ASSERT_EQ(formats::SaveFtf(folder_ / "zed.ftf", stranger).code, kFileOk);
  // A name with the escape that retitles a terminal: printed as escapes.
  COperationClanbook hostile;
  Add(hostile, u"", u"Z\x1B]0;pwned\x07", 1950);
  ASSERT_EQ(formats::SaveFtf(folder_ / "hostile.ftf", hostile).code, kFileOk);

  struct Row {
    const char* branch;
    MergeSide prefer;
    int code;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"branch.ftf",
       MergeSide::Branch,
       kBranchOk,
       {"B1: another member of the book bears this name (a child of B); left out with his "
        "descendants",
        "merge: 1 members added, 1 changed, 1 conflicts left out; saved to "}},
      {"branch.ftf",
       MergeSide::Book,
       kBranchOk,
       // The branch's news the preference turned down is listed and counted.
       {"A2: kept the book's address \"\" (the branch has \"Mill\")",
        "B1: another member of the book bears this name (a child of B); left out with his "
        "descendants",
        "merge: 1 members added, 0 changed, 1 differences kept from the book, 1 conflicts left "
        "out; saved to "}},
      {"zed.ftf",
       MergeSide::Branch,
       kBranchNotInBook,
       {"merge: the branch's root Zed is not in the book; nothing changed"}},
      {"hostile.ftf",
       MergeSide::Branch,
       kBranchNotInBook,
       {"merge: the branch's root Z\\x1B]0;pwned\\x07 is not in the book; nothing changed"}},
      {"missing.ftf", MergeSide::Branch, kBranchCannotRead, {"merge: cannot read "}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.branch);
    const fs::path out = folder_ / "out.ftf";
    fs::remove(out);
    std::ostringstream report;
    EXPECT_EQ(MergeBranchFiles(folder_ / "book.ftf", folder_ / row.branch, out, row.prefer, report),
              row.code);
    std::istringstream lines(report.str());
    std::string line;
    for (const std::string& expected : row.lines) {
      ASSERT_TRUE(std::getline(lines, line));
      EXPECT_EQ(line.substr(0, expected.size()), expected);
    }
    EXPECT_FALSE(std::getline(lines, line)) << line;
    ASSERT_EQ(fs::exists(out), row.code == kBranchOk);
    if (row.code != kBranchOk) continue;
    COperationClanbook merged;
    ASSERT_EQ(formats::LoadFtf(out, merged).code, kFileOk);
    EXPECT_EQ(Find(merged, u"Fresh")->parent, Find(merged, u"A2"));
    EXPECT_EQ(Find(merged, u"B1")->parent, Find(merged, u"B"));
    EXPECT_EQ(Find(merged, u"A2")->address, row.prefer == MergeSide::Branch ? u"Mill" : u"");
  }
}

// The branch and its base hold what the merge leaves out: neither is ever
// the output, under any name. The book may be: that is what a merge is for.
TEST_F(MergeBranchFilesTest, NeverWritesOverTheBranchOrItsBase) {
  COperationClanbook book;
  BuildClan(book);
  COperationClanbook branch;
  ExtractBranch(book, Find(book, u"A"), branch);
  Add(branch, u"A1", u"B1", 1991);  // a conflict: borne by B's son
  Add(branch, u"A2", u"Fresh", 1990);
  ASSERT_EQ(formats::SaveFtf(folder_ / "book.ftf", book).code, kFileOk);
  ASSERT_EQ(formats::SaveFtf(folder_ / "branch.ftf", branch).code, kFileOk);
  ASSERT_EQ(formats::SaveFtf(folder_ / "base.ftf", branch).code, kFileOk);
  ASSERT_EQ(::link((folder_ / "base.ftf").c_str(), (folder_ / "base-link.ftf").c_str()), 0);
  const std::string branchBytes = Read(folder_ / "branch.ftf");
  const struct {
    const char* label;
    fs::path out;
    int code;
  } rows[] = {
      {"the branch", folder_ / "branch.ftf", kBranchCannotWrite},
      {"a hard link to the base", folder_ / "base-link.ftf", kBranchCannotWrite},
      {"the book", folder_ / "book.ftf", kBranchOk},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    std::ostringstream report;
    EXPECT_EQ(MergeBranchFiles(folder_ / "book.ftf", folder_ / "branch.ftf", row.out,
                               MergeSide::Book, report, folder_ / "base.ftf"),
              row.code);
    if (row.code != kBranchOk) {
      EXPECT_NE(report.str().find("it is a file this command reads"), std::string::npos)
          << report.str();
    }
    EXPECT_EQ(Read(folder_ / "branch.ftf"), branchBytes);
    EXPECT_EQ(Read(folder_ / "base.ftf"), branchBytes);
  }
  COperationClanbook merged;
  ASSERT_EQ(formats::LoadFtf(folder_ / "book.ftf", merged).code, kFileOk);
  EXPECT_NE(Find(merged, u"Fresh"), nullptr);
}

}  // namespace
