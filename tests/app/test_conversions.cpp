// The command-line conversions run as a user runs them: the built program in
// a folder of small books, with no display, its exit status, its messages and
// the files it leaves behind read back.
#include "../book/BookTestBooks.h"
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

// 张父 has one son, 张子; his younger brother 张叔 has none.
const char kBook[] =
    "张祖 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "张父 1930 10 1 1 北京 1 张祖\r\n"
    "张子 1960 12 24 0 上海 1 张父\r\n"
    "张叔 1935 1 1 1 end 1 张祖\r\n"
    "end 1999 12 2 1 end 1 end";
// 张父's branch as a relative sends it back: 张子 has moved and has a son.
const char kBranch[] =
    "张父 1930 10 1 1 北京 1 -1\r\n"
    "张子 1960 12 24 0 广州 1 张父\r\n"
    "张孙 1990 3 4 0 广州 1 张子\r\n"
    "end 1999 12 2 1 end 1 end";
// A branch whose root the book does not know.
const char kStranger[] =
    "李甲 1930 1 1 1 end 1 -1\r\n"
    "end 1999 12 2 1 end 1 end";

// 王甲's family of three, and 陈丁 on his own.
const char kGedcom[] =
    "0 HEAD\r\n1 GEDC\r\n2 VERS 7.0\r\n"
    "0 @A@ INDI\r\n1 NAME /王/甲\r\n1 BIRT\r\n2 DATE 3 MAR 1900\r\n1 FAMS @F@\r\n"
    "0 @B@ INDI\r\n1 NAME /王/乙\r\n1 BIRT\r\n2 DATE 1 JUN 1930\r\n1 FAMC @F@\r\n"
    "0 @C@ INDI\r\n1 NAME /王/丙\r\n1 BIRT\r\n2 DATE 2 JUL 1932\r\n1 FAMC @F@\r\n"
    "0 @D@ INDI\r\n1 NAME /陈/丁\r\n1 BIRT\r\n2 DATE 5 MAY 1950\r\n"
    "0 @F@ FAM\r\n1 HUSB @A@\r\n1 CHIL @B@\r\n1 CHIL @C@\r\n"
    "0 TRLR\r\n";

struct Outcome {
  int status = -1;
  QString out;
  QString err;
};

// A book the program wrote, loaded back.
struct Book {
  explicit Book(const QString& path) {
    EXPECT_EQ(formats::LoadFtf(QFile::encodeName(path).toStdString(), book).code, kFileOk)
        << path.toStdString();
    if (book.Root()) members += book.CountMembers();
  }
  MemberNode* Find(const char* name) const {
    MemberNode* found = book.FindByName(QString::fromUtf8(name).toStdU16String());
    return found;
  }
  COperationClanbook book;
  int members = 0;
};

class ConversionTest : public ::testing::Test {
public:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    Write("book.ftf", kBook);
    Write("branch.ftf", kBranch);
    Write("stranger.ftf", kStranger);
    Write("family.ged", kGedcom);
    Write("broken.gdz", "PK\x03\x04 an archive cut short");
  }

  void Write(const char* name, const char* text) {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QString Path(const QString& name) const { return dir.filePath(name); }

  // The program beside the tests in the build tree; no display, and no
  // platform chosen for it: a conversion that draws must see to that itself.
  Outcome Clanbook(const QStringList& arguments) const {
    const QString program = QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral("../src/app/clanbook"));
    Outcome run;
    if (!QFileInfo(program).isExecutable()) {
      ADD_FAILURE() << program.toStdString() << " is not built";
      return run;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
      ADD_FAILURE() << "clanbook did not finish: " << process.errorString().toStdString();
      return run;
    }
    run.status = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
  }

  QTemporaryDir dir;
};

using Check = std::function<void(ConversionTest& test, const Outcome& run)>;

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
TEST_F(ConversionTest, DateIsPrintedInBothCalendarsOrRefusedWithTheReason) {
  struct DateRow {
    const char* arguments;  // split at blanks
    int status;
    const char* out;  // all of standard output
    const char* err;  // what standard error must hold
  };
  const DateRow rows[] = {
      {"--date 1890-03-05", 0, "1890-03-05 清光绪十六年 庚寅年 二月十五日\n", ""},
      {"--date 光绪十六年二月十五", 0, "1890-03-05 清光绪十六年 庚寅年 二月十五日\n", ""},
      {"--date 1890-04-04", 0, "1890-04-04 清光绪十六年 庚寅年 闰二月十五日\n", ""},
      {"--date 光绪十六年闰二月十五", 0, "1890-04-04 清光绪十六年 庚寅年 闰二月十五日\n", ""},
      {"--date 庚寅年二月十五 --years 1850-1909", 0, "1890-03-05 清光绪十六年 庚寅年 二月十五日\n",
       ""},
      {"--date 1912-2-13", 0, "1912-02-13 民国元年 辛亥年 十二月廿六日\n", ""},
      // Refusals: the reason, and every candidate of an ambiguous year.
      {"--date 光绪十五年闰二月十五", 1, "", "闰月"},
      {"--lang en --date 光绪十六年正月三十", 1, "", "that month has only 29 days"},
      {"--lang en --date 1300-01-01", 1, "", "outside the range of the Chinese calendar"},
      {"--date 1890-2-30", 1, "", "公历没有这一天"},
      {"--date 庚寅年二月十五", 1, "", "1830-03-09 清道光十年 庚寅年 二月十五日"},
      {"--date 庚寅年二月十五 --years 1900-1850", 2, "", "1900-1850"},
  };
  for (const DateRow& row : rows) {
    SCOPED_TRACE(row.arguments);
    const Outcome run = Clanbook(QString::fromUtf8(row.arguments).split(u' '));
    EXPECT_EQ(run.status, row.status) << run.err.toStdString();
    EXPECT_EQ(run.out, QString::fromUtf8(row.out));
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.err))) << run.err.toStdString();
  }
}

TEST_F(ConversionTest, KinshipPrintsWhatEachCallsTheOtherOrWhoIsMissing) {
  // A book that knows its daughters: in book.cbk 张叔 is the father's sister.
  Book daughters(Path(QStringLiteral("book.ftf")));
  daughters.Find("张叔")->extra.EditRecord().sex = Sex::kFemale;
  ASSERT_TRUE(formats::WriteBookFile(
                  QFile::encodeName(Path(QStringLiteral("book.cbk"))).toStdString(), daughters.book)
                  .Ok());
  struct KinshipRow {
    const char* arguments;
    int status;
    const char* out;  // all of standard output
    const char* err;  // what standard error must hold
  };
  const KinshipRow rows[] = {
      {"--lang zh --kinship book.ftf 张子 张叔", 0, "张子 称 张叔 为 叔叔\n张叔 称 张子 为 侄子\n",
       ""},
      {"--lang en --kinship book.ftf 张祖 张子", 0,
       "张子 is 张祖's grandson\n张祖 is 张子's grandfather\n", ""},
      {"--lang zh --kinship book.cbk 张子 张叔", 0, "张子 称 张叔 为 姑妈\n张叔 称 张子 为 侄子\n",
       ""},
      // Wives, named as the 称谓 window names them; a wife speaks as her husband.
      {"--lang zh --kinship book.ftf 张子 张叔 --second-wife", 0,
       "张子 称 张叔之妻 为 婶婶\n张叔之妻 称 张子 为 侄子\n", ""},
      {"--lang zh --kinship book.ftf 张子 张子 --first-wife", 0,
       "张子之妻 称 张子 为 丈夫\n张子 称 张子之妻 为 妻子\n", ""},
      {"--lang zh --kinship book.ftf 张祖 张父 --first-wife --second-wife", 0,
       "张祖之妻 称 张父之妻 为 儿媳\n张父之妻 称 张祖之妻 为 母亲\n", ""},
      {"--lang en --kinship book.ftf 张子 张叔 --second-wife", 0,
       "张叔's wife is 张子's wife of father's younger brother\n"
       "张子 is 张叔's wife's brother's son\n",
       ""},
      // Refusals: nothing on standard output.
      {"--lang zh --kinship book.ftf 张子 王五", 3, "", "王五"},
      {"--lang zh --kinship book.cbk 张子 张叔 --second-wife", 3, "", "女儿"},
      {"--lang zh --kinship book.cbk 张叔 张子 --first-wife", 3, "", "--first-wife"},
      {"--kinship missing.ftf 张子 张叔", 1, "", "missing.ftf"},
      {"--kinship book.ftf 张子", 2, "", ""},
  };
  for (const KinshipRow& row : rows) {
    SCOPED_TRACE(row.arguments);
    const Outcome run = Clanbook(QString::fromUtf8(row.arguments).split(u' '));
    EXPECT_EQ(run.status, row.status) << run.err.toStdString();
    EXPECT_EQ(run.out, QString::fromUtf8(row.out));
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.err))) << run.err.toStdString();
  }
}

// No conversion writes over what it reads, whatever name the output goes by:
// the same name, a symbolic link to the input, a hard link to it. The input
// stays as it was, nothing else appears, and the status says the output
// could not be written.
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
