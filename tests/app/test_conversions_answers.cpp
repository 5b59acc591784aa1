// The answers the command line gives without converting anything: a date in
// both calendars, and what two members of a book call each other.
#include "ConversionTestSupport.h"
#include "formats/CbkFormat.h"
#include "model/MemberRecord.h"

#include <QString>
#include <QStringList>

namespace {

using namespace conversion_test;

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

}  // namespace
