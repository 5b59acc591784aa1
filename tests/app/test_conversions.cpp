// The command-line conversions run as a user runs them: the built program in
// a folder of small books, with no display, its exit status, its messages and
// the files it leaves behind read back.
#include "../book/BookTestBooks.h"
#include "ConversionTestSupport.h"
#include "formats/CbkFormat.h"
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>

namespace {

using namespace conversion_test;
struct Row {
  const char* label;
  const char* arguments;  // split at blanks
  int status;
  const char* output;   // the file the conversion writes; must not appear on failure
  const char* message;  // text standard error must hold on failure
  Check check = {};
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(ConversionTest, EachConversionWritesItsFileOrSaysWhyNot) {
  const Row rows[] = {
      {"chart as SVG from a member, his line only",
       "--export-chart book.ftf chart.svg --from 张父 --generations 2", 0, "chart.svg", nullptr,
       [](ConversionTest& t, const Outcome&) {
         const QString svg = QString::fromUtf8(ReadAll(t.Path(QStringLiteral("chart.svg"))));
         EXPECT_TRUE(svg.contains(QStringLiteral("张父")));
         EXPECT_TRUE(svg.contains(QStringLiteral("张子")));
         EXPECT_FALSE(svg.contains(QStringLiteral("张叔"))) << "a member outside the line";
       }},
      {"chart as PDF, 欧式 on A3", "--export-chart book.ftf chart.pdf --layout ouyang --page A3", 0,
       "chart.pdf", nullptr,
       [](ConversionTest& t, const Outcome&) {
         EXPECT_TRUE(ReadAll(t.Path(QStringLiteral("chart.pdf"))).startsWith("%PDF"));
       }},
      {"chart as PNG at the resolution asked for",
       "--export-chart book.ftf chart.png --dpi 48 --generations 0", 0, "chart.png", nullptr,
       [](ConversionTest& t, const Outcome&) {
         QImageReader reader(t.Path(QStringLiteral("chart.png")));
         const QImage image = reader.read();
         ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
         EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, 48, 0.5);
       }},
      {"branch of a member", "--export-branch book.ftf 张父 out.ftf", 0, "out.ftf", nullptr,
       [](ConversionTest& t, const Outcome& run) {
         const Book branch(t.Path(QStringLiteral("out.ftf")));
         ASSERT_NE(branch.book.Root(), nullptr);
         EXPECT_EQ(branch.book.Root()->name, u"张父");
         EXPECT_EQ(branch.members, 2);
         EXPECT_TRUE(run.out.contains(QStringLiteral("out.ftf"))) << run.out.toStdString();
       }},
      {"merge keeps the book's data by default and adds the newcomer",
       "--merge-branch book.ftf branch.ftf out.ftf", 0, "out.ftf", nullptr,
       [](ConversionTest& t, const Outcome& run) {
         const Book merged(t.Path(QStringLiteral("out.ftf")));
         EXPECT_EQ(merged.members, 5);
         const MemberNode* grandson = merged.Find("张孙");
         ASSERT_NE(grandson, nullptr);
         ASSERT_NE(grandson->parent, nullptr);
         EXPECT_EQ(grandson->parent->name, u"张子");
         EXPECT_EQ(grandson->parent->address, u"上海");
         // The branch's other address is named, not dropped without a word.
         EXPECT_TRUE(
             run.out.contains(QStringLiteral("张子: kept the book's address \"上海\" "
                                             "(the branch has \"广州\")")))
             << run.out.toStdString();
       }},
      {"merge preferring the branch takes its data",
       "--merge-branch book.ftf branch.ftf out.ftf --prefer branch", 0, "out.ftf", nullptr,
       [](ConversionTest& t, const Outcome&) {
         const Book merged(t.Path(QStringLiteral("out.ftf")));
         EXPECT_EQ(merged.members, 5);
         ASSERT_NE(merged.Find("张子"), nullptr);
         EXPECT_EQ(merged.Find("张子")->address, u"广州");
       }},
      {"GEDCOM 7.0 by default, an INDI per member", "--export-gedcom book.ftf out.ged", 0,
       "out.ged", nullptr,
       [](ConversionTest& t, const Outcome&) {
         const QString text = QString::fromUtf8(ReadAll(t.Path(QStringLiteral("out.ged"))));
         EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("(^|\n)0 @[^@]+@ INDI\r"))), 4);
         EXPECT_TRUE(text.contains(QStringLiteral("2 VERS 7.0"))) << text.toStdString();
         for (const char* name : {"张祖", "张父", "张子", "张叔"})
           EXPECT_EQ(
               text.count(QStringLiteral("1 NAME /张/%1").arg(QString::fromUtf8(name).mid(1))), 1)
               << name;
       }},
      {"GEDCOM 5.5.1 when asked", "--export-gedcom book.ftf out.ged --gedcom 5.5.1", 0, "out.ged",
       nullptr,
       [](ConversionTest& t, const Outcome&) {
         const QString text = QString::fromUtf8(ReadAll(t.Path(QStringLiteral("out.ged"))));
         EXPECT_TRUE(text.contains(QStringLiteral("2 VERS 5.5.1"))) << text.toStdString();
         EXPECT_FALSE(text.contains(QStringLiteral("2 VERS 7.0")));
       }},
      {"GEDCOM import takes the largest line", "--import-gedcom family.ged out.ftf", 0, "out.ftf",
       nullptr,
       [](ConversionTest& t, const Outcome& run) {
         const Book imported(t.Path(QStringLiteral("out.ftf")));
         ASSERT_NE(imported.book.Root(), nullptr);
         EXPECT_EQ(imported.book.Root()->name, u"王甲");
         EXPECT_EQ(imported.members, 3);
         EXPECT_TRUE(run.out.contains(QStringLiteral("@A@"))) << run.out.toStdString();
       }},
      {"GEDCOM import from the root asked for", "--import-gedcom family.ged out.ftf --root @D@", 0,
       "out.ftf", nullptr,
       [](ConversionTest& t, const Outcome&) {
         const Book imported(t.Path(QStringLiteral("out.ftf")));
         ASSERT_NE(imported.book.Root(), nullptr);
         EXPECT_EQ(imported.book.Root()->name, u"陈丁");
         EXPECT_EQ(imported.members, 1);
       }},
      {"a book converted to .cbk and back is the same .ftf", "--convert book.ftf book.cbk", 0,
       "book.cbk", nullptr,
       [](ConversionTest& t, const Outcome&) {
         const Outcome back = t.Clanbook({QStringLiteral("--convert"), QStringLiteral("book.cbk"),
                                          QStringLiteral("again.ftf")});
         EXPECT_EQ(back.status, 0) << back.err.toStdString();
         EXPECT_EQ(ReadAll(t.Path(QStringLiteral("again.ftf"))),
                   ReadAll(t.Path(QStringLiteral("book.ftf"))));
       }},
      {"a GEDCOM file converted to .cbk", "--convert family.ged family.cbk", 0, "family.cbk",
       nullptr,
       [](ConversionTest& t, const Outcome&) {
         const Outcome out = t.Clanbook({QStringLiteral("--convert"), QStringLiteral("family.cbk"),
                                         QStringLiteral("family.ftf")});
         EXPECT_EQ(out.status, 0) << out.err.toStdString();
         const Book converted(t.Path(QStringLiteral("family.ftf")));
         EXPECT_EQ(converted.members, 3);
       }},
      {"a book converted to .gdz and back is the same .ftf", "--convert book.ftf book.gdz", 0,
       "book.gdz", nullptr,
       [](ConversionTest& t, const Outcome&) {
         EXPECT_TRUE(ReadAll(t.Path(QStringLiteral("book.gdz"))).startsWith("PK\x03\x04"));
         const Outcome back = t.Clanbook({QStringLiteral("--convert"), QStringLiteral("book.gdz"),
                                          QStringLiteral("again.ftf")});
         EXPECT_EQ(back.status, 0) << back.err.toStdString();
         EXPECT_EQ(ReadAll(t.Path(QStringLiteral("again.ftf"))),
                   ReadAll(t.Path(QStringLiteral("book.ftf"))));
       }},
      // Failures.
      {"convert to a format no name marks", "--convert book.ftf book.txt", 2, "book.txt", ".cbk"},
      {"convert a damaged GEDZIP", "--convert broken.gdz out.ftf", 1, "out.ftf", "broken.gdz"},
      {"convert a missing book", "--convert missing.cbk out.ftf", 1, "out.ftf", "missing.cbk"},
      {"chart of a missing book", "--export-chart missing.ftf chart.pdf", 1, "chart.pdf",
       "missing.ftf"},
      {"chart from a name nobody bears", "--export-chart book.ftf chart.pdf --from 王五", 3,
       "chart.pdf", "王五"},
      {"chart in an unknown layout", "--export-chart book.ftf chart.pdf --layout circle", 2,
       "chart.pdf", "circle"},
      {"chart on an unknown paper", "--export-chart book.ftf chart.pdf --page letter", 2,
       "chart.pdf", "letter"},
      {"chart of no generation count", "--export-chart book.ftf chart.pdf --generations five", 2,
       "chart.pdf", "five"},
      {"chart in an unknown format", "--export-chart book.ftf chart.gif", 2, "chart.gif",
       "chart.gif"},
      {"branch of a missing book", "--export-branch missing.ftf 张父 out.ftf", 1, "out.ftf",
       "missing.ftf"},
      {"branch of a name nobody bears", "--export-branch book.ftf 王五 out.ftf", 2, "out.ftf",
       "王五"},
      {"merge with an unknown preference",
       "--merge-branch book.ftf branch.ftf out.ftf --prefer both", 2, "out.ftf", "both"},
      {"merge of a branch the book does not hold", "--merge-branch book.ftf stranger.ftf out.ftf",
       3, "out.ftf", "李甲"},
      {"merge of a missing branch", "--merge-branch book.ftf missing.ftf out.ftf", 1, "out.ftf",
       "missing.ftf"},
      {"GEDCOM in an unknown version", "--export-gedcom book.ftf out.ged --gedcom 6.0", 2,
       "out.ged", "6.0"},
      {"GEDCOM with an option of the chart", "--export-gedcom book.ftf out.ged --dpi 0", 2,
       "out.ged", "--dpi"},
      {"GEDCOM of a missing book", "--export-gedcom missing.ftf out.ged", 1, "out.ged",
       "missing.ftf"},
      {"GEDCOM import from a root the file lacks", "--import-gedcom family.ged out.ftf --root @Z@",
       1, "out.ftf", "family.ged"},
      {"GEDCOM import of a book that is no GEDCOM", "--import-gedcom book.ftf out.ftf", 1,
       "out.ftf", "book.ftf"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const QString output = Path(QString::fromUtf8(row.output));
    QFile::remove(output);
    const Outcome run = Clanbook(QString::fromUtf8(row.arguments).split(u' '));
    EXPECT_EQ(run.status, row.status) << run.err.toStdString();
    if (row.status == 0) {
      EXPECT_GT(QFileInfo(output).size(), 0);
      if (row.check) row.check(*this, run);
    } else {
      EXPECT_FALSE(QFileInfo::exists(output)) << "written despite the failure";
      EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.message))) << run.err.toStdString();
    }
  }
  // No conversion touches the books it reads.
  EXPECT_EQ(ReadAll(Path(QStringLiteral("book.ftf"))), QByteArray(kBook));
}

// --date writes no file: its answer is one line on standard output.
TEST_F(ConversionTest, NoConversionReplacesItsInput) {
  struct Case {
    const char* label;
    QStringList before;  // the arguments before the output
    const char* input;   // the file the output must not replace
    QStringList after;
    int status;
  };
  const Case cases[] = {
      {"branch", {"--export-branch", "book.ftf", "张父"}, "book.ftf", {}, 4},
      {"merge into the branch", {"--merge-branch", "book.ftf", "branch.ftf"}, "branch.ftf", {}, 4},
      {"GEDCOM export", {"--export-gedcom", "book.ftf"}, "book.ftf", {}, 2},
      {"GEDCOM import", {"--import-gedcom", "family.ged"}, "family.ged", {}, 2},
      {"chart", {"--export-chart", "book.ftf"}, "book.ftf", {}, 4},
      {"convert", {"--convert", "book.ftf"}, "book.ftf", {}, 4},
  };
  // The chart takes its format from the output's name: its links end in .svg.
  const char* const ways[] = {"same name", "symbolic link", "hard link"};
  for (const Case& c : cases) {
    for (const char* way : ways) {
      SCOPED_TRACE(std::string(c.label) + ", " + way);
      const QString input = Path(QString::fromUtf8(c.input));
      const QByteArray bytes = ReadAll(input);
      const QString suffix =
          c.label == std::string("chart") ? QStringLiteral(".svg") : QStringLiteral(".out");
      QString output = QString::fromUtf8(c.input);
      if (std::string(way) == "symbolic link") {
        output = QStringLiteral("symbolic") + suffix;
        QFile::remove(Path(output));
        ASSERT_TRUE(QFile::link(input, Path(output)));
      } else if (std::string(way) == "hard link") {
        output = QStringLiteral("hard") + suffix;
        QFile::remove(Path(output));
        ASSERT_EQ(::link(QFile::encodeName(input).constData(),
                         QFile::encodeName(Path(output)).constData()),
                  0);
      } else if (c.label == std::string("chart")) {
        // A book named like a chart is still the book.
        output = QStringLiteral("book.svg");
        QFile::remove(Path(output));
        ASSERT_TRUE(QFile::copy(input, Path(output)));
        QStringList arguments = c.before;
        arguments.last() = output;
        const Outcome run = Clanbook(arguments + QStringList{output} + c.after);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_EQ(ReadAll(Path(output)), bytes);
        continue;
      }
      const QStringList listing = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
      const Outcome run = Clanbook(c.before + QStringList{output} + c.after);
      EXPECT_EQ(run.status, c.status) << run.err.toStdString();
      EXPECT_FALSE(run.err.isEmpty());
      EXPECT_TRUE(run.err.contains(output)) << run.err.toStdString();
      EXPECT_EQ(ReadAll(input), bytes);
      EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), listing);
    }
  }
  // Merging into the book itself is what the merge is for: allowed.
  const Outcome run = Clanbook({"--merge-branch", "book.ftf", "branch.ftf", "book.ftf"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(Book(Path(QStringLiteral("book.ftf"))).members, 5);
}

// The pages of a PDF as pdfinfo counts them; -1 without poppler-utils.
int PdfPages(const QString& path) {
  const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
  if (pdfinfo.isEmpty()) return -1;
  QProcess process;
  process.start(pdfinfo, {path});
  if (!process.waitForFinished(60000)) return 0;
  const QRegularExpressionMatch pages =
      QRegularExpression(QStringLiteral("(?m)^Pages:\\s+(\\d+)"))
          .match(QString::fromLocal8Bit(process.readAllStandardOutput()));
  return pages.hasMatch() ? pages.captured(1).toInt() : 0;
}

// --export-book typesets any book the program reads; every mistake is said
// before anything is written, and none leaves a file behind.
TEST_F(ConversionTest, ExportBookWritesThePrintedBookOrSaysWhyNot) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
    GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
  COperationClanbook small;
  booktest::MakeSmallBook(small);
  ASSERT_TRUE(
      formats::WriteBookFile(QFile::encodeName(Path(QStringLiteral("li.cbk"))).toStdString(), small)
          .Ok());
  ASSERT_TRUE(QFile::link(Path(QStringLiteral("li.cbk")), Path(QStringLiteral("link.pdf"))));
  const struct {
    const char* label;
    const char* arguments;  // split at blanks
    int status;
    const char* output;
    const char* message;  // on failure, what standard error holds
  } rows[] = {
      {"the whole book, every default", "--export-book li.cbk li.pdf", 0, "li.pdf", nullptr},
      {"a .ftf, horizontal, from a member",
       "--export-book book.ftf book.pdf --horizontal --from 张父", 0, "book.pdf", nullptr},
      {"苏式 on folded A3, both calendars, the living private",
       "--export-book li.cbk su.pdf --layout su --paper A3-folded --dates both --private-living", 0,
       "su.pdf", nullptr},
      {"吊线图 on A3 with Gregorian dates",
       "--export-book li.cbk pagoda.pdf --layout pagoda --paper a3 --dates gregorian", 0,
       "pagoda.pdf", nullptr},
      {"an unknown layout", "--export-book li.cbk bad.pdf --layout circle", 2, "bad.pdf", "circle"},
      {"an unknown paper", "--export-book li.cbk bad.pdf --paper letter", 2, "bad.pdf", "letter"},
      {"unknown dates", "--export-book li.cbk bad.pdf --dates julian", 2, "bad.pdf", "julian"},
      {"an output that is no PDF", "--export-book li.cbk bad.png", 2, "bad.png", "bad.png"},
      {"an option of another command", "--export-book li.cbk bad.pdf --dpi 300", 2, "bad.pdf",
       "--dpi"},
      {"a missing book", "--export-book missing.cbk bad.pdf", 1, "bad.pdf", "missing.cbk"},
      {"a name nobody bears", "--export-book li.cbk bad.pdf --from 王五", 3, "bad.pdf", "王五"},
      {"no output", "--export-book li.cbk", 2, "li.cbk.pdf", "--export-book"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const QString output = Path(QString::fromUtf8(row.output));
    const Outcome run = Clanbook(QString::fromUtf8(row.arguments).split(u' '));
    EXPECT_EQ(run.status, row.status) << run.err.toStdString();
    if (row.status == 0) {
      EXPECT_TRUE(ReadAll(output).startsWith("%PDF-"));
      EXPECT_GT(PdfPages(output), 0);
    } else {
      EXPECT_FALSE(QFileInfo::exists(output)) << "written despite the failure";
      EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.message))) << run.err.toStdString();
    }
  }
  // The book's output under the name of a link to the book: refused, the
  // book as it was.
  const QByteArray book = ReadAll(Path(QStringLiteral("li.cbk")));
  const Outcome same = Clanbook({"--export-book", "li.cbk", "link.pdf"});
  EXPECT_EQ(same.status, 4);
  EXPECT_TRUE(same.err.contains(QStringLiteral("link.pdf"))) << same.err.toStdString();
  EXPECT_EQ(ReadAll(Path(QStringLiteral("li.cbk"))), book);
  EXPECT_TRUE(QFileInfo(Path(QStringLiteral("link.pdf"))).isSymLink());

  // --help names the command and each of its options.
  const Outcome help = Clanbook({"--help"});
  for (const char* option :
       {"--export-book", "--horizontal", "--paper", "--dates", "--private-living", "su"})
    EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
}

// A .ftf's 字辈 goes into a .cbk and out beside another .ftf, and is printed.
TEST_F(ConversionTest, TheGenerationPoemGoesWithTheBookEveryWay) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP();
  Write("poem.ftf", kBook);
  Write("poem.ftf.zibei", "3\n克昌，厥后\n");
  for (const char* step : {"--convert poem.ftf poem.cbk", "--convert poem.cbk back.ftf",
                           "--export-book back.ftf poem.pdf --horizontal"}) {
    const Outcome run = Clanbook(QString::fromUtf8(step).split(u' '));
    ASSERT_EQ(run.status, 0) << step << run.err.toStdString();
  }
  EXPECT_EQ(ReadAll(Path(QStringLiteral("back.ftf.zibei"))), QByteArray("3\n克昌，厥后\n"));
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {Path(QStringLiteral("poem.pdf")), QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(60000));
  QString words = QString::fromUtf8(text.readAllStandardOutput());
  words.remove(QRegularExpression(QStringLiteral("\\s")));
  EXPECT_TRUE(words.contains(QStringLiteral("克昌，厥后"))) << words.toStdString();

  // A poem file that is no poem: the book is converted and the loss is said.
  Write("bad.ftf", kBook);
  Write("bad.ftf.zibei", "three\n克昌\n");
  const Outcome run =
      Clanbook({QStringLiteral("--convert"), QStringLiteral("bad.ftf"), QStringLiteral("bad.cbk")});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains(QStringLiteral("bad.ftf.zibei"))) << run.err.toStdString();
  EXPECT_TRUE(QFileInfo::exists(Path(QStringLiteral("bad.cbk"))));
  // A poem that cannot go beside its .ftf: the book is written, the command fails.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.ftf.zibei")));
  const Outcome blocked = Clanbook(
      {QStringLiteral("--convert"), QStringLiteral("poem.cbk"), QStringLiteral("taken.ftf")});
  EXPECT_NE(blocked.status, 0);
  EXPECT_TRUE(blocked.err.contains(QStringLiteral("taken.ftf.zibei"))) << blocked.err.toStdString();
}

// A GEDCOM or branch output that cannot be written says why.
TEST_F(ConversionTest, AnOutputThatCannotBeWrittenSaysWhy) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("adir")));
  const struct {
    QStringList arguments;
    int status;
    const char* reason;
  } rows[] = {
      {{"--export-gedcom", "book.ftf", "adir"}, 2, "folder"},
      {{"--export-gedcom", "book.ftf", "nowhere/out.ged"}, 2, "does not exist"},
      {{"--import-gedcom", "family.ged", "adir"}, 2, "folder"},
      {{"--export-branch", "book.ftf", "张父", "adir"}, 4, "folder"},
      {{"--merge-branch", "book.ftf", "branch.ftf", "nowhere/out.ftf"}, 4, "does not exist"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments.join(u' ').toStdString());
    const Outcome run = Clanbook(row.arguments);
    EXPECT_EQ(run.status, row.status);
    EXPECT_TRUE(run.err.contains(QString::fromLatin1(row.reason))) << run.err.toStdString();
  }
  EXPECT_TRUE(QDir(Path(QStringLiteral("adir"))).isEmpty());
}

// A file name that is no UTF-8 is written under its own bytes, not under the
// name Qt's decoding would make of it.
TEST_F(ConversionTest, NamesThatAreNoUtf8KeepTheirBytes) {
  const QString program =
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/app/clanbook"));
  const std::filesystem::path folder(QFile::encodeName(dir.path()).toStdString());
  // The shell hands the program the bytes; QProcess would encode them as text.
  const struct {
    const char* arguments;  // before the output
    const char* output;     // as printf writes it
    const char* written;    // the file that must appear
  } rows[] = {
      {"--export-gedcom book.ftf", "o\\377.ged", "o\xff.ged"},
      {"--export-branch book.ftf 张父", "b\\376\\377.ftf", "b\xfe\xff.ftf"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.written);
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("exec \"$0\" %1 \"$(printf '%2')\"")
                       .arg(QString::fromUtf8(row.arguments), QString::fromUtf8(row.output)),
                   program});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(std::filesystem::exists(folder / row.written)) << row.written;
  }
  // Nothing under the name with U+FFFD in place of the stray bytes.
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().find("\xEF\xBF\xBD"), std::string::npos);
}

}  // namespace
