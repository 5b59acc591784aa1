// The document's files: the previous version kept beside the file at each
// save, and telling whether another program changed the file since it was
// opened or saved here.
#include "DocumentTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class DocumentFiles : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    FillClan(document);
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  FileStatus Save(const QString& path, bool keep) {
    return GenealogyDocument::WriteGenealogy(document.Genealogy(), path, keep);
  }

  QTemporaryDir dir;
  GenealogyDocument document;
};

TEST_F(DocumentFiles, EachSaveKeepsTheVersionBefore) {
  const QString book = Path("book.ftf");
  const QString backup = GenealogyDocument::BackupName(book);
  EXPECT_EQ(backup, book + QStringLiteral(".bak"));
  ASSERT_TRUE(Save(book, true).Ok());
  EXPECT_FALSE(QFile::exists(backup));  // nothing was there before
  const QByteArray first = Read(book);

  Write(book, "older contents");
  ASSERT_TRUE(Save(book, true).Ok());
  EXPECT_EQ(Read(book), first);
  EXPECT_EQ(Read(backup), "older contents");
  // The backup is a file of its own: the next save does not change it
  // through the old one, and it is no link to the new file.
  struct stat bookInfo {
  }, backupInfo{};
  ASSERT_EQ(::stat(QFile::encodeName(book).constData(), &bookInfo), 0);
  ASSERT_EQ(::stat(QFile::encodeName(backup).constData(), &backupInfo), 0);
  EXPECT_NE(bookInfo.st_ino, backupInfo.st_ino);

  // Without keeping, and when the save is refused, the backup stays as it was.
  Write(book, "newer contents");
  ASSERT_TRUE(Save(book, false).Ok());
  EXPECT_EQ(Read(backup), "older contents");
  Write(book, "newer contents");
  // A name the document would refuse as an edit, put in behind its back.
  document.Genealogy().SetMemberData(FindIn(document, QStringLiteral("乙")),
                                     Born(QStringLiteral("乙 乙"), 1925));
  const FileStatus refused = Save(book, true);
  EXPECT_EQ(refused.problem, FileProblem::kNameNotStorable);
  EXPECT_EQ(Read(backup), "older contents");
  EXPECT_EQ(Read(book), "newer contents");
  // Nothing of the backup's making is left beside it.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"book.ftf", "book.ftf.bak"}));
}

// A save asked to keep the previous version says whether it could, and why
// not: a folder in the backup's place, or a name too long to take ".bak".
TEST_F(DocumentFiles, SaysWhetherThePreviousVersionWasKept) {
  using Previous = GenealogyDocument::PreviousVersion;
  const struct Row {
    const char* label;
    int length;  // of the book's name in bytes
    bool backupIsFolder;
    Previous::Outcome outcome;
  } rows[] = {
      {"a plain name", 8, false, Previous::kKept},
      // The hidden name the backup waits under is longer still.
      {"a name that just takes .bak", 251, false, Previous::kKept},
      {"a name too long for .bak", 252, false, Previous::kNameTooLong},
      {"the longest name", 255, false, Previous::kNameTooLong},
      {"NAME.bak is a folder", 8, true, Previous::kBackupIsFolder},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const QString book = dir.filePath(QString(row.length - 4, u'f') + QStringLiteral(".ftf"));
    const QString backup = GenealogyDocument::BackupName(book);
    if (row.backupIsFolder) {
      ASSERT_TRUE(QDir(dir.path()).mkdir(QFileInfo(backup).fileName()));
      Write(backup + QStringLiteral("/inside"), "kept");
    }
    Previous previous;
    ASSERT_TRUE(
        GenealogyDocument::WriteGenealogy(document.Genealogy(), book, true, &previous).Ok());
    EXPECT_EQ(previous.outcome, Previous::kNothingToKeep);  // a new file
    const QByteArray first = Read(book);
    Write(book, "older contents");
    ASSERT_TRUE(
        GenealogyDocument::WriteGenealogy(document.Genealogy(), book, true, &previous).Ok());
    EXPECT_EQ(previous.outcome, row.outcome);
    EXPECT_EQ(previous.backupName, backup);
    EXPECT_EQ(Read(book), first);
    if (row.outcome == Previous::kKept) {
      EXPECT_EQ(Read(backup), "older contents");
    }
    if (row.backupIsFolder) {
      EXPECT_EQ(Read(backup + QStringLiteral("/inside")), "kept");
    }
    // Nothing held for the backup is left beside the book.
    QStringList expected{QFileInfo(book).fileName()};
    if (row.outcome == Previous::kKept || row.backupIsFolder)
      expected << QFileInfo(backup).fileName();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              expected);
    QDir(backup).removeRecursively();
    QFile::remove(backup);
    QFile::remove(book);
  }
}

TEST_F(DocumentFiles, ChangedOnDiskOnlyWhenAnotherProgramChangedTheFile) {
  const QString book = Path("book.ftf");
  ASSERT_TRUE(Save(book, false).Ok());
  COperationClanbook loaded;
  ASSERT_TRUE(GenealogyDocument::ReadGenealogy(book, loaded).Ok());
  document.Adopt(loaded, book);
  EXPECT_EQ(document.FileName(), book);
  EXPECT_FALSE(document.FileChangedOnDisk());

  // Our own save, with or without a backup, is no change by another program.
  ASSERT_TRUE(Save(book, true).Ok());
  document.MarkSaved(book);
  EXPECT_FALSE(document.FileChangedOnDisk());

  Write(book, Read(book) + "\r\n");
  EXPECT_TRUE(document.FileChangedOnDisk());
  // Another name, or no file any more: nothing there to overwrite unasked.
  document.SetFileName(Path("other.ftf"));
  EXPECT_FALSE(document.FileChangedOnDisk());
  document.SetFileName(book);
  EXPECT_TRUE(document.FileChangedOnDisk());
  ASSERT_TRUE(QFile::remove(book));
  EXPECT_FALSE(document.FileChangedOnDisk());
  document.New();
  EXPECT_FALSE(document.FileChangedOnDisk());
}

// A file name given as bytes comes back as the same bytes, UTF-8 or not, and
// a name that is UTF-8 reads as the text it is.
TEST(FileNames, BytesSurviveTheWayThroughAQString) {
  const struct {
    const char* label;
    QByteArray bytes;
    bool text;  // valid UTF-8: the QString is its text
  } rows[] = {
      {"plain", "book.ftf", true},
      {"Chinese", "家谱/张氏.ftf", true},
      {"a stray byte", "o\xff.ged", false},
      {"a cut character", "\xe5\xae.ftf", false},
      {"an overlong slash", "a\xc0\xaf.ftf", false},
      {"an encoded surrogate", "\xed\xb2\x80.ftf", false},
      {"stray bytes around a character", "\xfe\xe5\xae\xb6\xff", false},
      {"a character beyond the last", "\xf4\x90\x80\x80", false},
      {"a character outside the first plane", "\xf0\x9f\x8c\xb3.ftf", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const QString name = FileNameOf(row.bytes);
    EXPECT_EQ(FilePathOf(name).string(), row.bytes.toStdString());
    if (row.text) {
      EXPECT_EQ(name, QString::fromUtf8(row.bytes));
    }
    EXPECT_EQ(name.contains(QChar(0xFFFD)), false);
  }
}

}  // namespace
