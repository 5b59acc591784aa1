// Saving never damages the file it replaces, and reports every failed write.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "FileTestSupport.h"
#include "ModelTestSupport.h"

using namespace modeltest;
namespace fs = std::filesystem;

namespace {

class SaveTest : public TempFolderTest {
protected:
  // A genealogy whose file takes well over a megabyte.
  void BuildLarge(int members) {
    DayCounter date;
    MemberNode* father = Add(tree_, u"", SerialName(0), date.year, date.month, date.day);
    for (int i = 1; i < members; ++i) {
      date.Next();
      MemberNode* m = Make(SerialName(static_cast<unsigned>(i)), date.year, date.month, date.day);
      m->address = u"山东省曲阜市阙里街" + SerialName(static_cast<unsigned>(i));
      tree_.InsertMember(father, m);
      if (i % 50 == 0) father = m;
    }
  }

  // Runs Save in a child process whose files may not grow beyond `limit`
  // bytes; returns Save's result there.
  int SaveWithFileSizeLimit(const fs::path& target, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
      // Past the limit write() fails with EFBIG instead of the signal ending
      // the process.
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit r{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(100);
      ::_exit(tree_.Save(target) + 10);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) - 10 : 1000;
  }

  COperationClanbook tree_;
};

TEST_F(SaveTest, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  BuildLarge(30000);
  const fs::path target = Write("the old genealogy\r\n", "clan.ftf");
  EXPECT_EQ(SaveWithFileSizeLimit(target, 64 * 1024), kFileCannotWrite);
  EXPECT_EQ(Read(target), "the old genealogy\r\n");
  EXPECT_EQ(Listing(), "clan.ftf");
  // With room enough the same save succeeds and replaces the file.
  EXPECT_EQ(SaveWithFileSizeLimit(target, 64 * 1024 * 1024), kFileOk);
  EXPECT_GT(fs::file_size(target), 1000000u);
  EXPECT_EQ(Listing(), "clan.ftf");
  COperationClanbook loaded;
  EXPECT_EQ(loaded.Load(target), kFileOk);
}

TEST_F(SaveTest, FailsWhereNoFileCanBeMade) {
  Add(tree_, u"", u"R", 1900);
  EXPECT_EQ(tree_.Save(folder_ / "missing" / "clan.ftf"), kFileCannotWrite);
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
  fs::create_directory(folder_ / "taken");
  Write("inside", "taken/file");
  EXPECT_EQ(tree_.Save(folder_ / "taken"), kFileCannotWrite);
  EXPECT_TRUE(fs::is_directory(folder_ / "taken"));
  EXPECT_EQ(Read(folder_ / "taken" / "file"), "inside");
  EXPECT_EQ(tree_.Save(""), kFileCannotWrite);
  EXPECT_EQ(Listing(), "taken");
}

// A read-only file is not replaced, although the rename would be allowed by the
// folder's permissions. Root may write anything, so the save runs as "nobody".
TEST_F(SaveTest, LeavesAFileTheUserMayNotWrite) {
  Add(tree_, u"", u"孔丘", 1900);
  const fs::path target = Write("read only\r\n", "clan.ftf");
  fs::permissions(folder_, fs::perms::all);
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
    ::_exit(tree_.Save(target) + 10);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status) - 10, kFileCannotWrite);
  EXPECT_EQ(Read(target), "read only\r\n");
  EXPECT_EQ(Listing(), "clan.ftf");
}

TEST_F(SaveTest, ReplacesTheFileKeepingItsPermissionsAndLinks) {
  Add(tree_, u"", u"R", 1900);
  const fs::path target = Write("old", "clan.ftf");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(tree_.Save(target), kFileOk);
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Read(target), "R 1900 1 1 0 end 1 -1\r\nend 1999 12 2 1 end 1 end");

  // Saving through a symbolic link writes the file it refers to.
  fs::create_symlink("clan.ftf", folder_ / "link.ftf");
  Add(tree_, u"R", u"A", 1930);
  ASSERT_EQ(tree_.Save(folder_ / "link.ftf"), kFileOk);
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.ftf"));
  EXPECT_EQ(Read(target),
            "R 1900 1 1 0 end 1 -1\r\nA 1930 1 1 0 end 1 R\r\nend 1999 12 2 1 end 1 end");
  EXPECT_EQ(Listing(), "clan.ftf link.ftf");
}

TEST_F(SaveTest, SavingChangesNothingInMemory) {
  BuildLarge(200);
  const std::string before = Shape(tree_);
  const MemberNode* root = tree_.GetRootLink();
  ASSERT_EQ(tree_.Save(folder_ / "a.ftf"), kFileOk);
  EXPECT_EQ(Shape(tree_), before);
  EXPECT_EQ(tree_.GetRootLink(), root);
}

}  // namespace
