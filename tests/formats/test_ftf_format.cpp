// The .ftf format as an object: what a read refuses and why (kind, line,
// member), twins that keep their order, progress and cancelling, what a write
// refuses, and the path helpers over the atomic save.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <csignal>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

using namespace modeltest;
namespace fs = std::filesystem;

namespace {

const std::string kEnd = "end 1999 12 2 1 end 1 end";
// 王伟, 王芳 in UTF-8 and in GB18030.
const std::string kWangWei = "\xE7\x8E\x8B\xE4\xBC\x9F";
const std::string kWangFang = "\xE7\x8E\x8B\xE8\x8A\xB3";

class FtfFormatTest : public TempFolderTest {
protected:
  formats::ReadResult Parse(const std::string& bytes, const formats::ReadProgress& progress = {}) {
    return format_.Read(bytes, tree_, progress);
  }
  std::string Written() {
    std::string out;
    EXPECT_EQ(format_.Write(tree_, out).code, kFileOk);
    return out;
  }

  formats::FtfFormat format_;
  COperationClanbook tree_;
};

struct ReadCase {
  const char* what;
  std::string bytes;
  int code;
  FileProblem problem;
  std::size_t line;
  std::u16string detail;
};

TEST_F(FtfFormatTest, EachRefusalNamesItsKindLineAndMember) {
  const std::string root = kWangWei + " 1900 1 1 0 end 1 -1\r\n";
  const std::string child = kWangFang + " 1930 1 1 0 end 1 " + kWangWei + "\r\n";
  const std::string longWord(128, 'x');
  const ReadCase cases[] = {
      {"Latin-1 byte in a UTF-8 book",
       root + child + "A 1931 1 1 0 M\xFCnchen 1 " + kWangWei + "\r\n" + kEnd, kFileCannotOpen,
       FileProblem::kBadUtf8, 3, u""},
      {"UTF-8 book cut inside its last character",
       root + child + "B 1932 1 1 0 end 1 " + kWangWei.substr(0, 5), kFileCannotOpen,
       FileProblem::kBadUtf8, 3, u""},
      {"UTF-8 mark then bytes that are no UTF-8", "\xEF\xBB\xBFR\xB7\xBC 1900 1 1 0 end 1 -1",
       kFileCannotOpen, FileProblem::kBadUtf8, 1, u""},
      {"UTF-16 without mark",
       std::string("R\0 \0"
                   "1\0",
                   6),
       kFileCannotOpen, FileProblem::kNotText, 0, u""},
      {"UTF-16 with a lone surrogate", std::string("\xFF\xFER\0\x00\xD8 \0", 8), kFileCannotOpen,
       FileProblem::kBadUtf16, 1, u""},
      {"word too long", root + "\n" + longWord + " 1930 1 1 0 end 1 R", kFileBadDate,
       FileProblem::kWordTooLong, 3, u""},
      {"not a number", root + "A 19x0 1 1 0 end 1 R", kFileBadDate, FileProblem::kNotANumber, 2,
       u""},
      {"number beyond 32 bits", root + "A 1930 1 1 0 end 0\r\n2147483648 1 1 R", kFileBadDate,
       FileProblem::kNumberTooLarge, 3, u""},
      {"cut short inside a record", root + child + "A 1930 1\r\n", kFileBadRelation,
       FileProblem::kMissingField, 3, u""},
      {"unknown father", root + "\r\nA 1930 1 1 0 end 1 Ghost\r\n" + kEnd, kFileBadRelation,
       FileProblem::kUnknownFather, 3, u"Ghost"},
      {"born before the father", root + "A 1899 1 1 0 end 1 " + kWangWei + "\r\n" + kEnd,
       kFileBadDate, FileProblem::kBornBeforeFather, 2, u"A"},
      {"impossible birth date", root + "A 1930 2 30 0 end 1 " + kWangWei + "\r\n" + kEnd,
       kFileBadDate, FileProblem::kBadBirthDate, 2, u"A"},
      {"died before birth", root + "A 1930 1 1 0 end 0 1929 1 1 " + kWangWei + "\r\n" + kEnd,
       kFileBadDate, FileProblem::kBadDeathDate, 2, u"A"},
      {"nothing but blanks", " \r\n ", kFileNoRoot, FileProblem::kEmpty, 0, u""},
      {"root named like his father", "R 1900 1 1 0 end 1 R\r\n" + kEnd, kFileNoRoot,
       FileProblem::kRootEndsFile, 1, u"R"},
  };
  for (const ReadCase& c : cases) {
    const formats::ReadResult r = Parse(c.bytes);
    EXPECT_EQ(r.code, c.code) << c.what;
    EXPECT_EQ(r.problem, c.problem) << c.what;
    EXPECT_EQ(r.line, c.line) << c.what;
    EXPECT_EQ(Narrow(r.detail), Narrow(c.detail)) << c.what;
    EXPECT_EQ(tree_.Root(), nullptr) << c.what;
  }
}

TEST_F(FtfFormatTest, LegacyBooksStillOpenAndNeverGarbleUtf8Ones) {
  // GB18030 as a whole: 王伟 and his son 王芳.
  const std::string gbRoot = "\xCD\xF5\xCE\xB0";
  ASSERT_EQ(Parse(gbRoot + " 1900 1 1 0 end 1 -1\r\n\xCD\xF5\xB7\xBC 1930 1 1 0 end 1 " + gbRoot +
                  "\r\n" + kEnd)
                .code,
            kFileOk);
  EXPECT_EQ(tree_.Root()->name, u"王伟");
  EXPECT_EQ(Children(tree_.Root()), Narrow(u"王芳"));
  // A UTF-8 book in which bytes after the end line are no UTF-8.
  const formats::ReadResult r =
      Parse(kWangWei + " 1900 1 1 0 end 1 -1\r\n" + kEnd + "\r\n\xFF\xFE\xFD trailing");
  EXPECT_EQ(r.problem, FileProblem::kBadUtf8);
  EXPECT_EQ(r.line, 3u);
}

TEST_F(FtfFormatTest, TwinsKeepTheFileOrderAndRoundTripsAreByteIdentical) {
  const std::string books[] = {
      "P 1900 1 1 0 end 1 -1\r\nB 1930 6 1 0 end 1 P\r\nA 1930 6 1 1 x 1 P\r\n"
      "C 1930 6 1 0 end 0 1990 1 1 P\r\n" +
          kEnd,
      // Twins of a father met again after his first son's family.
      "P 1900 1 1 0 end 1 -1\r\nQ 1920 1 1 0 end 1 P\r\nQ1 1950 1 1 0 end 1 Q\r\n"
      "Q2 1950 1 1 0 end 1 Q\r\nR 1920 1 1 0 end 1 P\r\nS 1920 1 1 0 end 1 P\r\n" +
          kEnd,
  };
  for (const std::string& book : books) {
    ASSERT_EQ(Parse(book).code, kFileOk) << book;
    EXPECT_EQ(Written(), book);
  }
}

TEST_F(FtfFormatTest, ProgressIsToldAndCancelLeavesNothing) {
  std::string book = "R 1900 1 1 0 end 1 -1\r\n";
  for (int i = 0; i < 60000; ++i) book += "m" + std::to_string(i) + " 1930 1 1 0 end 1 R\r\n";
  book += kEnd;
  std::vector<std::size_t> told;
  ASSERT_EQ(Parse(book,
                  [&](std::size_t done, std::size_t total) {
                    EXPECT_EQ(total, book.size());
                    told.push_back(done);
                    return true;
                  })
                .code,
            kFileOk);
  ASSERT_GE(told.size(), 1u);
  EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
  EXPECT_LE(told.back(), book.size());
  const formats::ReadResult cancelled = Parse(book, [](std::size_t, std::size_t) { return false; });
  EXPECT_EQ(cancelled.problem, FileProblem::kCancelled);
  EXPECT_NE(cancelled.code, kFileOk);
  EXPECT_EQ(tree_.Root(), nullptr);
}

TEST_F(FtfFormatTest, WriteRefusesAMemberThatWouldNotReadBackAndSaysWhy) {
  std::u16string cut(126, u'孔');
  cut += u'\xD842';  // half of 𠮷 at the 127th unit
  struct Case {
    std::u16string root, child, address;
    FileProblem problem;
    TextProblem text;
    std::u16string who;
  } cases[] = {
      {u"-1", u"A", u"", FileProblem::kRootNamedNoFather, TextProblem::kNone, u"-1"},
      {u"R", u"end", u"", FileProblem::kNamedEnd, TextProblem::kNone, u"end"},
      {u"R", u"R", u"", FileProblem::kNamedLikeFather, TextProblem::kNone, u"R"},
      {u"R", u"A B", u"", FileProblem::kNameNotStorable, TextProblem::kBlank, u"A B"},
      {u"R", cut, u"", FileProblem::kNameNotStorable, TextProblem::kLoneSurrogate, cut},
      {u"R", u"A", u"城 南", FileProblem::kAddressNotStorable, TextProblem::kBlank, u"A"},
      {u"R", u"A", u"城\xDC00", FileProblem::kAddressNotStorable, TextProblem::kLoneSurrogate,
       u"A"},
      {u"R", std::u16string(128, u'a'), u"", FileProblem::kNameNotStorable, TextProblem::kTooLong,
       std::u16string(128, u'a')},
      {u"R", u"", u"", FileProblem::kNameNotStorable, TextProblem::kEmpty, u""},
  };
  for (const Case& c : cases) {
    tree_.Clear();
    Add(tree_, u"", c.root, 1900);
    MemberNode* child = Make(c.child, 1930);
    child->address = c.address;
    tree_.InsertMember(tree_.Root(), child);
    std::string out = "old";
    const formats::WriteResult r = format_.Write(tree_, out);
    EXPECT_EQ(r.code, kFileCannotWrite) << Narrow(c.who);
    EXPECT_EQ(r.problem, c.problem) << Narrow(c.who);
    EXPECT_EQ(r.text, c.text) << Narrow(c.who);
    EXPECT_EQ(r.detail, c.who);
    EXPECT_EQ(out, "");
    EXPECT_EQ(formats::FtfFormat::CheckWritable(tree_).problem, c.problem);
  }
}

// Control characters other than the blanks are text the file carries: the
// writer's quick check sends them to the full one, which lets them through.
TEST_F(FtfFormatTest, WriteKeepsControlCharactersThatAreNoBlanks) {
  Add(tree_, u"", u"R\x01", 1900);
  MemberNode* child = Make(u"A\x1F", 1930);
  child->address = u"城\x7F南";
  tree_.InsertMember(tree_.Root(), child);
  std::string out;
  ASSERT_EQ(format_.Write(tree_, out).code, kFileOk);
  ASSERT_EQ(Parse(out).code, kFileOk);
  EXPECT_EQ(Shape(tree_), "R\x01<-> A\x1F<R\x01> ");
  EXPECT_EQ(tree_.Root()->firstChild->address, u"城\x7F南");
}

TEST_F(FtfFormatTest, WhyATextIsNotStorable) {
  const struct {
    std::u16string text;
    bool isName;
    TextProblem why;
  } cases[] = {
      {u"", true, TextProblem::kEmpty},
      {u"", false, TextProblem::kNone},
      {std::u16string(127, u'a'), true, TextProblem::kNone},
      {std::u16string(128, u'a'), false, TextProblem::kTooLong},
      {u"a\tb", true, TextProblem::kBlank},
      {std::u16string(u"a\0b", 3), false, TextProblem::kBlank},  // the reader refuses NUL bytes
      {u"\xDC00", false, TextProblem::kLoneSurrogate},
      {u"𠮷", true, TextProblem::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(WhyNotStorable(c.text, c.isName), c.why);
}

// Files: the helpers over the atomic save.
TEST_F(FtfFormatTest, WriteFileRefusesWhatIsNoRegularFileAndAnEmptyBook) {
  Add(tree_, u"", u"R", 1900);
  ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
  fs::create_directory(folder_ / "dir");
  fs::create_symlink(folder_ / "nowhere", folder_ / "dangling");
  // A folder is no regular file either; the writer names it as such, so the
  // message can say why.
  const std::pair<const char*, FileProblem> targets[] = {
      {"pipe", FileProblem::kTargetNotRegular},
      {"dir", FileProblem::kTargetIsFolder},
      {"dangling", FileProblem::kTargetNotRegular}};
  for (const auto& [name, problem] : targets) {
    const formats::WriteResult r = formats::WriteFile(format_, tree_, folder_ / name);
    EXPECT_EQ(r.code, kFileCannotWrite) << name;
    EXPECT_EQ(r.problem, problem) << name;
  }
  EXPECT_TRUE(fs::is_fifo(folder_ / "pipe"));
  EXPECT_EQ(formats::WriteFile(format_, tree_, "/dev/null").problem,
            FileProblem::kTargetNotRegular);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  // Through a link to a regular file: the file is replaced, the link stays.
  Write("old", "real.ftf");
  fs::create_symlink(folder_ / "real.ftf", folder_ / "link.ftf");
  ASSERT_EQ(formats::WriteFile(format_, tree_, folder_ / "link.ftf").code, kFileOk);
  EXPECT_TRUE(fs::is_symlink(folder_ / "link.ftf"));
  EXPECT_EQ(Read(folder_ / "real.ftf"), Written());
  // Nothing to save leaves the old book alone.
  tree_.Clear();
  const formats::WriteResult empty = formats::WriteFile(format_, tree_, folder_ / "real.ftf");
  EXPECT_EQ(empty.problem, FileProblem::kNothingToSave);
  EXPECT_NE(Read(folder_ / "real.ftf"), "");
  EXPECT_EQ(Listing(), "dangling dir link.ftf pipe real.ftf");
}

TEST_F(FtfFormatTest, ASaveRemovesLeftoversOfKilledSavesOnly) {
  Add(tree_, u"", u"R", 1900);
  for (const char* name : {".g.ftf.tmp-Abc123", ".g.ftf.tmp-Busy99", ".g.ftf.tmp-abc",
                           ".h.ftf.tmp-Abc123", "g.ftf.tmp-Abc123"})
    Write("partial", name);
  // A save in progress holds the lock on its temporary file.
  const int busy = ::open((folder_ / ".g.ftf.tmp-Busy99").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(busy, LOCK_EX), 0);
  ASSERT_EQ(formats::WriteFile(format_, tree_, folder_ / "g.ftf").code, kFileOk);
  ::close(busy);
  EXPECT_EQ(Listing(), ".g.ftf.tmp-Busy99 .g.ftf.tmp-abc .h.ftf.tmp-Abc123 g.ftf g.ftf.tmp-Abc123");
}

TEST_F(FtfFormatTest, ASaveKeepsOwnerAndGroupOrWritesNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand files to other users";
  Add(tree_, u"", u"R", 1900);
  const fs::path target = Write("old", "shared.ftf");
  ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0664), 0);
  ASSERT_EQ(formats::WriteFile(format_, tree_, target).code, kFileOk);
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 1234u);
  EXPECT_EQ(info.st_gid, 5678u);
  EXPECT_EQ(info.st_mode & 07777, 0664u);
  // Another user may write the file and the folder but cannot give the new
  // file to its owner: the save is refused and the file stays as it was.
  ASSERT_EQ(::chmod(folder_.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0666), 0);
  const std::string before = Read(target);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    const formats::WriteResult r = formats::WriteFile(format_, tree_, target);
    ::_exit(r.problem == FileProblem::kOwnerNotKept && r.code == kFileCannotWrite ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Read(target), before);
  EXPECT_EQ(Listing(), "shared.ftf");
}

TEST_F(FtfFormatTest, AFileSizeLimitIsAWriteFailure) {
  for (int i = 0; i < 3000; ++i) Add(tree_, i ? u"R" : u"", i ? SerialName(i) : u"R", 1900);
  const fs::path target = Write("old", "g.ftf");
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // as the application does at start
    const rlimit limit{16 * 1024, 16 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const formats::WriteResult r = formats::WriteFile(format_, tree_, target);
    ::_exit(r.problem == FileProblem::kWriteFailed && r.code == kFileCannotWrite ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Read(target), "old");
  EXPECT_EQ(Listing(), "g.ftf");
}

TEST_F(FtfFormatTest, ReadFileReadsWhatWriteFileWrote) {
  Add(tree_, u"", u"王伟", 1900);
  Add(tree_, u"王伟", u"王芳", 1930);
  const std::string text = Written();
  ASSERT_EQ(formats::WriteFile(format_, tree_, folder_ / "g.ftf").code, kFileOk);
  COperationClanbook loaded;
  ASSERT_EQ(formats::ReadFile(format_, folder_ / "g.ftf", loaded).code, kFileOk);
  EXPECT_EQ(Shape(loaded), Shape(tree_));
  EXPECT_EQ(formats::ReadFile(format_, folder_ / "missing", loaded).problem,
            FileProblem::kCannotOpen);
  EXPECT_EQ(loaded.Root(), nullptr);
}

}  // namespace
