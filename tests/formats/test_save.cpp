// Saving never damages the file it replaces, and reports every failed write.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"
#include "formats/io/AtomicFile.h"

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
      ::_exit(formats::SaveFtf(target, tree_).code + 10);
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
  EXPECT_EQ(formats::LoadFtf(target, loaded).code, kFileOk);
}

TEST_F(SaveTest, FailsWhereNoFileCanBeMade) {
  Add(tree_, u"", u"R", 1900);
  EXPECT_EQ(formats::SaveFtf(folder_ / "missing" / "clan.ftf", tree_).code, kFileCannotWrite);
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
  fs::create_directory(folder_ / "taken");
  Write("inside", "taken/file");
  EXPECT_EQ(formats::SaveFtf(folder_ / "taken", tree_).code, kFileCannotWrite);
  EXPECT_TRUE(fs::is_directory(folder_ / "taken"));
  EXPECT_EQ(Read(folder_ / "taken" / "file"), "inside");
  EXPECT_EQ(formats::SaveFtf("", tree_).code, kFileCannotWrite);
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
    ::_exit(formats::SaveFtf(target, tree_).code + 10);
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
  ASSERT_EQ(formats::SaveFtf(target, tree_).code, kFileOk);
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Read(target), "R 1900 1 1 0 end 1 -1\r\nend 1999 12 2 1 end 1 end");

  // Saving through a symbolic link writes the file it refers to.
  fs::create_symlink("clan.ftf", folder_ / "link.ftf");
  Add(tree_, u"R", u"A", 1930);
  ASSERT_EQ(formats::SaveFtf(folder_ / "link.ftf", tree_).code, kFileOk);
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.ftf"));
  EXPECT_EQ(Read(target),
            "R 1900 1 1 0 end 1 -1\r\nA 1930 1 1 0 end 1 R\r\nend 1999 12 2 1 end 1 end");
  EXPECT_EQ(Listing(), "clan.ftf link.ftf");
}

// Every target the writer refuses stays what it was, and the refusal says
// why, so that a message can name the reason.
TEST_F(SaveTest, RefusedTargetsStayAndTheReasonIsGiven) {
  fs::create_directory(folder_ / "adir");
  Write("plain", "plain");
  ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
  fs::create_symlink("pipe", folder_ / "to-pipe.ftf");
  fs::create_symlink("missing", folder_ / "dangling.ftf");
  // A device node of our own (the null device's numbers), where we may make one.
  const bool device = ::mknod((folder_ / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  if (device) fs::create_symlink("null", folder_ / "to-null.ftf");
  const struct {
    const char* label;
    fs::path target;
    FileProblem problem;
  } rows[] = {
      {"a folder", folder_ / "adir", FileProblem::kTargetIsFolder},
      {"a named pipe", folder_ / "pipe", FileProblem::kTargetNotRegular},
      {"a link to a named pipe", folder_ / "to-pipe.ftf", FileProblem::kTargetNotRegular},
      {"a link that leads nowhere", folder_ / "dangling.ftf", FileProblem::kTargetNotRegular},
      {"in no folder", folder_ / "missing" / "a.ftf", FileProblem::kNoSuchFolder},
      {"below a regular file", folder_ / "plain" / "a.ftf", FileProblem::kNoSuchFolder},
      {"a device", folder_ / "null", FileProblem::kTargetNotRegular},
      {"a link to a device", folder_ / "to-null.ftf", FileProblem::kTargetNotRegular},
  };
  const std::string before = Listing();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (!device && row.target.filename().string().find("null") != std::string::npos) continue;
    AtomicFileWriter writer;
    EXPECT_FALSE(writer.Open(row.target) && writer.Write("x") && writer.Commit());
    EXPECT_EQ(writer.Problem(), row.problem);
    EXPECT_NE(std::string(DescribeWriteProblem(writer.Problem())), "");
  }
  EXPECT_EQ(Listing(), before);
  struct stat info {};
  ASSERT_EQ(::lstat((folder_ / "pipe").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  if (device) {
    ASSERT_EQ(::lstat((folder_ / "null").c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
  }
}

// A save killed halfway leaves no temporary file behind where the file system
// has unnamed files, however large the part it had written.
TEST_F(SaveTest, AKilledSaveLeavesNothingBehind) {
  const fs::path target = Write("the old genealogy\r\n", "clan.ftf");
  const pid_t child = ::fork();
  if (child == 0) {
    AtomicFileWriter writer;
    if (!writer.Open(target)) ::_exit(1);
    const std::string piece(1 << 20, 'x');
    for (int i = 0; i < 8; ++i) (void)writer.Write(piece);
    ::kill(::getpid(), SIGKILL);
    ::_exit(2);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the writer did not get as far as it should";
  EXPECT_EQ(Read(target), "the old genealogy\r\n");
  EXPECT_EQ(Listing(), "clan.ftf");
}

// An output is one of the inputs by any name that reaches the same file.
TEST_F(SaveTest, AnOutputIsAnInputByEveryNameOfIt) {
  const fs::path book = Write("book", "book.ftf");
  const fs::path copy = Write("book", "copy.ftf");
  fs::create_directory(folder_ / "sub");
  fs::create_symlink("book.ftf", folder_ / "link.ftf");
  fs::create_symlink("../link.ftf", folder_ / "sub" / "chain.ftf");
  ASSERT_EQ(::link(book.c_str(), (folder_ / "hard.ftf").c_str()), 0);
  const struct {
    const char* label;
    fs::path output;
    bool isInput;
  } rows[] = {
      {"the same name", book, true},
      {"another spelling", folder_ / "sub" / ".." / "book.ftf", true},
      {"a symbolic link", folder_ / "link.ftf", true},
      {"a link to a link", folder_ / "sub" / "chain.ftf", true},
      {"a hard link", folder_ / "hard.ftf", true},
      {"a copy", copy, false},
      {"a new file", folder_ / "new.ftf", false},
      {"no name", fs::path(), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(OutputIsInput(row.output, {folder_ / "other.ftf", book}), row.isInput);
    EXPECT_FALSE(OutputIsInput(row.output, {}));
  }
}

TEST_F(SaveTest, SavingChangesNothingInMemory) {
  BuildLarge(200);
  const std::string before = Shape(tree_);
  const MemberNode* root = tree_.Root();
  ASSERT_EQ(formats::SaveFtf(folder_ / "a.ftf", tree_).code, kFileOk);
  EXPECT_EQ(Shape(tree_), before);
  EXPECT_EQ(tree_.Root(), root);
}

}  // namespace
