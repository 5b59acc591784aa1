// The book as a PDF file: its text read back in the file's own order gives
// each 行传 as the template wrote it, every font is embedded, a missing face
// is named with the package that brings it, and an export that is stopped
// or fails leaves the file that was there untouched.
#include "BookTestBooks.h"
#include "book/BookExport.h"
#include "book/Flow.h"
#include "book/LifeRecord.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace book;

namespace {

// The standard output of `program` run on `arguments`; empty when it failed.
QString Output(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

class BookPdfTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!booktest::TestFont()) GTEST_SKIP() << "no CJK face installed (fonts-arphic-uming)";
    small = booktest::MakeSmallBook(genealogy);
    ASSERT_TRUE(dir.isValid());
  }
  QString Path(const QString& name) const { return dir.filePath(name); }
  COperationClanbook genealogy;
  booktest::SmallBook small;
  QTemporaryDir dir;
};

TEST_F(BookPdfTest, TheTextReadBackGivesEachRecordAndEveryFontIsEmbedded) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
      QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
    GTEST_SKIP() << "poppler-utils (pdftotext, pdffonts) is not installed";
  for (bool horizontal : {false, true}) {
    BookOptions options;
    options.horizontal = horizontal;
    const QString file = Path(QStringLiteral("book.pdf"));
    QString error;
    ASSERT_TRUE(WriteBookPdf(genealogy, options, file, &error)) << error.toStdString();
    // The columns come out as lines, read top to bottom and right to left:
    // joined, a 行传 is the template's sentence.
    QString text =
        Output(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), file, QStringLiteral("-")});
    ASSERT_FALSE(text.isEmpty());
    text.remove(u'\n');
    if (horizontal) text.remove(u' ');
    BookContext context(genealogy, options);
    for (const MemberNode* member : {small.second, small.heir, small.daughter}) {
      QString expected = booktest::Shown(LifeRecord::Paragraph(*member, context), !horizontal);
      if (horizontal) expected.remove(u' ');
      EXPECT_TRUE(text.contains(expected))
          << "horizontal " << horizontal << ": " << expected.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("李氏族谱")));
    const QStringList fonts =
        Output(QStringLiteral("pdffonts"), {file}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& line : fonts) {
      // name type encoding emb sub uni object ID: "emb" is the fourth field
      // from the end but two.
      const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
      ASSERT_GE(fields.size(), 7);
      EXPECT_EQ(fields[fields.size() - 5], QStringLiteral("yes")) << line.toStdString();
    }
  }
}

TEST_F(BookPdfTest, AStoppedOrFailedExportLeavesTheOldFile) {
  const QString file = Path(QStringLiteral("old.pdf"));
  {
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the book printed last year");
  }
  const auto unchanged = [&] {
    QFile old(file);
    return old.open(QIODevice::ReadOnly) && old.readAll() == "the book printed last year" &&
           QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 1;
  };
  struct Row {
    const char* what;
    BookOptions options;
    std::function<bool(int)> keepGoing;
    QString says;
  };
  BookOptions noFont;
  noFont.fontFile = Path(QStringLiteral("none.ttc"));
  BookOptions noMember;
  noMember.fromName = QStringLiteral("无此人");
  const Row rows[] = {
      {"stopped after two pages", {}, [](int done) { return done < 2; }, BookWords::Stopped()},
      {"stopped at once", {}, [](int) { return false; }, BookWords::Stopped()},
      {"no face", noFont, {}, QStringLiteral("fonts-arphic-uming")},
      {"no such member", noMember, {}, QStringLiteral("无此人")},
  };
  for (const Row& row : rows) {
    QString error;
    EXPECT_FALSE(WriteBookPdf(genealogy, row.options, file, &error, row.keepGoing)) << row.what;
    EXPECT_TRUE(error.contains(row.says)) << row.what << ": " << error.toStdString();
    EXPECT_TRUE(unchanged()) << row.what;
  }
  // Going on to the end replaces it.
  QString error;
  ASSERT_TRUE(WriteBookPdf(genealogy, {}, file, &error, [](int) { return true; }))
      << error.toStdString();
  QFile done(file);
  ASSERT_TRUE(done.open(QIODevice::ReadOnly));
  EXPECT_TRUE(done.read(5) == "%PDF-");
}

}  // namespace
