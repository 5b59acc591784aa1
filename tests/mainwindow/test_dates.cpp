// The Chinese calendar in the windows: dates shown as the user chose (查看 →
// 日期) and remembered, dates typed in Chinese into the add and change
// dialogs, and the Chinese birthdays and 忌日 named at Open.
#include "app/Translation.h"
#include "dialogs/CAddInfoDlg.h"
#include "dialogs/CModifyInfoDlg.h"
#include "dialogs/ChineseDateEntry.h"
#include "document/DateWords.h"
#include "mainwindow/DateSettings.h"
#include "test_edit_fixture.h"

#include <QAction>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

// Every test starts and ends with the seed's 公历 and the lunar days off.
void ResetDateSettings() {
  clanbook_settings::SetShownDates(DateDisplay::Gregorian);
  clanbook_settings::SetLunarBirthdays(false);
  clanbook_settings::SetDeathDays(false);
  SetDateDisplay(DateDisplay::Gregorian);
  SetDateChoiceForTesting(nullptr);
}

class DateWordsTest : public ::testing::Test {
protected:
  void TearDown() override { ResetDateSettings(); }
};

TEST_F(DateWordsTest, EachChoiceWritesADateItsWay) {
  struct Row {
    int year, month, day;
    const char* gregorian;
    const char* chinese;
    const char* both;
  } rows[] = {
      {1890, 3, 5, "1890--3--5", "光绪十六年二月十五", "1890-03-05（光绪十六年二月十五）"},
      {1890, 4, 4, "1890--4--4", "光绪十六年闰二月十五", "1890-04-04（光绪十六年闰二月十五）"},
      // The last day of 宣统 and the first of 民国, still in 辛亥年's 十二月.
      {1912, 2, 12, "1912--2--12", "宣统三年十二月廿五", "1912-02-12（宣统三年十二月廿五）"},
      {1912, 2, 13, "1912--2--13", "民国元年十二月廿六", "1912-02-13（民国元年十二月廿六）"},
      {1950, 4, 1, "1950--4--1", "公元一九五〇年二月十五", "1950-04-01（公元一九五〇年二月十五）"},
      {1644, 4, 25, "1644--4--25", "顺治元年三月十九", "1644-04-25（顺治元年三月十九）"},
      {1900, 1, 31, "1900--1--31", "光绪二十六年正月初一", "1900-01-31（光绪二十六年正月初一）"},
      {1900, 1, 30, "1900--1--30", "光绪二十五年十二月三十",
       "1900-01-30（光绪二十五年十二月三十）"},
      // Outside the table, or no day at all: the Gregorian text alone.
      {1300, 1, 1, "1300--1--1", "1300--1--1", "1300--1--1"},
      {1890, 2, 30, "1890--2--30", "1890--2--30", "1890--2--30"},
      {0, 0, 0, "0--0--0", "0--0--0", "0--0--0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.gregorian);
    SetDateDisplay(DateDisplay::Gregorian);
    EXPECT_EQ(ShownDate(row.year, row.month, row.day), QString::fromUtf8(row.gregorian));
    SetDateDisplay(DateDisplay::Chinese);
    EXPECT_EQ(ShownDate(row.year, row.month, row.day), QString::fromUtf8(row.chinese));
    SetDateDisplay(DateDisplay::Both);
    EXPECT_EQ(ShownDate(row.year, row.month, row.day), QString::fromUtf8(row.both));
  }
}

TEST_F(DateWordsTest, EnglishPutsTheGregorianDateFirstAndTheReignInPinyin) {
  const Translation english(UiLanguage::English);
  ASSERT_TRUE(english.programCatalogueLoaded());
  struct Row {
    int year, month, day;
    const char* shown;
  } rows[] = {
      {1890, 3, 5, "1890-03-05 (Guangxu 16, month 2, day 15)"},
      {1890, 4, 4, "1890-04-04 (Guangxu 16, month leap 2, day 15)"},
      {1912, 2, 13, "1912-02-13 (Minguo 1, month 12, day 26)"},
      {1950, 4, 1, "1950-04-01 (CE 1950, month 2, day 15)"},
  };
  for (const DateDisplay display : {DateDisplay::Chinese, DateDisplay::Both}) {
    SetDateDisplay(display);
    for (const Row& row : rows)
      EXPECT_EQ(ShownDate(row.year, row.month, row.day), QString::fromUtf8(row.shown));
  }
  EXPECT_EQ(DateProblemText(DateProblem::NoLeapMonth, QStringLiteral("光绪十五年闰二月十五")),
            QStringLiteral("“光绪十五年闰二月十五”: that year has no such leap month."));
}

TEST_F(DateWordsTest, AgeAtDeathCountsTheNominalYearsBesideTheFullOnes) {
  struct Row {
    GregorianDate birth, death;
    const char* text;
  } rows[] = {
      // Born on the last day of 己丑年: two 虚岁 the next day.
      {{1890, 1, 20}, {1890, 1, 21}, "享年2岁（虚岁），足0岁"},
      {{1890, 3, 5}, {1960, 3, 4}, "享年71岁（虚岁），足69岁"},
      {{1890, 3, 5}, {1960, 3, 5}, "享年71岁（虚岁），足70岁"},
      {{1890, 3, 5}, {1880, 1, 1}, ""},  // death before birth
      {{1300, 1, 1}, {1380, 1, 1}, ""},  // outside the table
  };
  for (const Row& row : rows)
    EXPECT_EQ(AgeAtDeathText(row.birth, row.death), QString::fromUtf8(row.text))
        << row.birth.year << "-" << row.death.year;
}

class DatesInTheWindow : public EditFixture {
protected:
  void SetUp() override {
    ResetDateSettings();
    EditFixture::SetUp();
  }
  void TearDown() override {
    EditFixture::TearDown();
    ResetDateSettings();
  }
  QAction* Action(CClanbookDlg& w, const char* name) {
    auto* action = w.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
  }
  QString Cell(CClanbookDlg& w, int row, int column) {
    return w.listModel()->CellText(row, column);
  }
};

TEST_F(DatesInTheWindow, TheDateMenuSwitchesTheListAndIsRemembered) {
  LoadRecords(
      "祖 1890 3 5 1 end 0 1960 3 4 -1\r\n"
      "甲 1920 3 4 1 北京 1 祖\r\n");
  window.ClearList();
  window.AddMemberRow(Find(QStringLiteral("祖")));
  window.AddMemberRow(Find(QStringLiteral("甲")));
  EXPECT_EQ(Cell(window, 0, 1), QStringLiteral("1890--3--5"));
  EXPECT_EQ(Cell(window, 0, 5), QStringLiteral("1960--3--4"));
  QAction* gregorian = Action(window, "datesGregorian");
  QAction* chinese = Action(window, "datesChinese");
  QAction* both = Action(window, "datesBoth");
  ASSERT_TRUE(gregorian && chinese && both);
  EXPECT_TRUE(gregorian->isChecked());
  EXPECT_EQ(chinese->text(), QStringLiteral("农历"));

  both->trigger();
  EXPECT_TRUE(both->isChecked());
  EXPECT_FALSE(gregorian->isChecked());
  EXPECT_EQ(Cell(window, 0, 1), QStringLiteral("1890-03-05（光绪十六年二月十五）"));
  EXPECT_EQ(Cell(window, 0, 5), QStringLiteral("1960-03-04（公元一九六〇年二月初七）"));
  EXPECT_EQ(Cell(window, 1, 5), QStringLiteral("无"));  // the living have no death date
  // The date columns make room for the longer dates, and only they.
  QHeaderView* header = window.listView()->horizontalHeader();
  const QFontMetrics metrics = window.listView()->fontMetrics();
  for (const int column : {1, 5})
    EXPECT_GT(header->sectionSize(column), metrics.horizontalAdvance(Cell(window, 0, column)));
  EXPECT_EQ(header->sectionSize(0), 85);
  // What the view shows is what the model says.
  const QAbstractItemModel* model = window.listView()->model();
  EXPECT_EQ(model->index(1, 1).data().toString(), QStringLiteral("1920-03-04（民国九年正月十四）"));

  chinese->trigger();
  EXPECT_EQ(Cell(window, 0, 1), QStringLiteral("光绪十六年二月十五"));
  // The 享年 in 虚岁 beside the full years, under the death date.
  EXPECT_EQ(model->index(0, 5).data(Qt::ToolTipRole).toString(),
            QStringLiteral("1960-03-04（公元一九六〇年二月初七）\n享年71岁（虚岁），足69岁"));
  EXPECT_TRUE(model->index(1, 5).data(Qt::ToolTipRole).toString().isEmpty());

  // A new window (the next run) shows the dates as they were left.
  {
    CClanbookDlg next;
    next.Create();
    EXPECT_TRUE(Action(next, "datesChinese")->isChecked());
    EXPECT_FALSE(Action(next, "datesGregorian")->isChecked());
  }
  EXPECT_EQ(clanbook_settings::ShownDates(), DateDisplay::Chinese);
  gregorian->trigger();
  EXPECT_EQ(Cell(window, 0, 1), QStringLiteral("1890--3--5"));
  EXPECT_EQ(header->sectionSize(1), 85);
  EXPECT_EQ(clanbook_settings::ShownDates(), DateDisplay::Gregorian);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DatesInTheWindow, AChildIsAddedFromAReignDateWithALeapMonth) {
  LoadRecords("祖 1860 1 1 1 end 1 -1\r\n");
  Select(QStringLiteral("祖"));
  QString reading;
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("丁"));
    auto* text = d->findChild<QLineEdit*>(QStringLiteral("birthDateEdit"));
    ASSERT_NE(text, nullptr);
    auto* label = d->findChild<QLabel*>(QStringLiteral("label_birthText"));
    EXPECT_EQ(text->accessibleName(), label->text());
    TypeInto(d, "birthDateEdit", QStringLiteral("光绪十六年闰二月十五"));
    ClickButton(d, "idc_1");
    reading = d->findChild<QLabel*>(QStringLiteral("birthDateReading"))->text();
  });
  window.RunCommand(ID_ADD_CHILD);
  EXPECT_TRUE(NoticeTexts().isEmpty());
  const MemberNode* child = Find(QStringLiteral("丁"));
  ASSERT_NE(child, nullptr);
  EXPECT_EQ((GregorianDate{child->birthYear, child->birthMonth, child->birthDay}),
            (GregorianDate{1890, 4, 4}));
  EXPECT_EQ(reading, QStringLiteral("清光绪十六年 庚寅年 闰二月十五日"));
  ExpectEditDone();
}

TEST_F(DatesInTheWindow, AnImpossibleDateIsRefusedWithItsReasonAndNothingChanges) {
  LoadFamily();
  Select(QStringLiteral("祖"));
  const QStringList before = ModelLines();
  struct Case {
    const char* box;
    const char* text;
    const char* notice;
  } cases[] = {
      {"birthDateEdit", "光绪十五年闰二月十五", "“光绪十五年闰二月十五”：那一年没有这个闰月。"},
      {"birthDateEdit", "光绪十六年正月三十", "“光绪十六年正月三十”：那个月只有二十九天。"},
      {"birthDateEdit", "光绪三十五年正月初一", "“光绪三十五年正月初一”：这个年号没有这一年。"},
      {"birthDateEdit", "1890-2-30", "“1890-2-30”：公历没有这一天。"},
      // Typed into the year box itself.
      {"birthYearEdit", "光绪十五年闰二月十五", "“光绪十五年闰二月十五”：那一年没有这个闰月。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    boxes.Clear();
    OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
      TypeInto(d, "nameEdit", QStringLiteral("丁"));
      TypeInto(d, c.box, QString::fromUtf8(c.text));
      ClickButton(d, "idc_1");
      EXPECT_TRUE(d->isVisible());
      EXPECT_EQ(NoticeTexts(), QStringList{QString::fromUtf8(c.notice)});
      // The boxes keep today's date, the typed text stays to be corrected.
      EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("birthMonthEdit"))->text(), "5");
      EXPECT_EQ(d->findChild<QLineEdit*>(QString::fromLatin1(c.box))->text(),
                QString::fromUtf8(c.text));
      ClickButton(d, "idc_2");
    });
    window.RunCommand(ID_ADD_CHILD);
    EXPECT_EQ(ModelLines(), before);
    EXPECT_FALSE(window.document().IsModified());
  }
}

TEST_F(DatesInTheWindow, AGanzhiYearAloneIsPlacedByTheFatherOrAskedAbout) {
  LoadFamily();
  // A son of 甲 (1920) born in a 庚寅 year: 1950, the one in reach.
  Select(QStringLiteral("甲"));
  OnNextDialog<CAddInfoDlg>([&](CAddInfoDlg* d) {
    TypeInto(d, "nameEdit", QStringLiteral("丁"));
    TypeInto(d, "birthDateEdit", QStringLiteral("庚寅年二月十五"));
    ClickButton(d, "idc_1");
  });
  window.RunCommand(ID_ADD_CHILD);
  const MemberNode* son = Find(QStringLiteral("丁"));
  ASSERT_NE(son, nullptr);
  EXPECT_EQ((GregorianDate{son->birthYear, son->birthMonth, son->birthDay}),
            (GregorianDate{1950, 4, 1}));

  // Changing 乙 (father 祖, 1900; no children): his 庚寅 is 1950 again, and
  // his death in a 甲子 year after it is asked about among two.
  QStringList asked;
  SetDateChoiceForTesting([&](const QString& question, const QStringList& choices) {
    asked << question << choices;
    return 0;
  });
  Select(QStringLiteral("乙"));
  OnNextDialog<CModifyInfoDlg>([&](CModifyInfoDlg* d) {
    TypeInto(d, "birthDateEdit", QStringLiteral("庚寅年二月十五"));
    ClickButton(d, "aliveCheck");  // deceased
    TypeInto(d, "deathDateEdit", QStringLiteral("甲子年正月初一"));
    ClickButton(d, "idc_1");
  });
  window.RunCommand(ID_CHANGE_DATA);
  EXPECT_EQ(asked, (QStringList{QStringLiteral("“甲子年正月初一”是哪一天？"),
                                QStringLiteral("1984-02-02 公元一九八四年 甲子年 正月初一日"),
                                QStringLiteral("2044-01-30 公元二〇四四年 甲子年 正月初一日")}));
  const MemberNode* changed = Find(QStringLiteral("乙"));
  EXPECT_EQ((GregorianDate{changed->birthYear, changed->birthMonth, changed->birthDay}),
            (GregorianDate{1950, 4, 1}));
  EXPECT_EQ(changed->alive, 0);
  EXPECT_EQ((GregorianDate{changed->deathYear, changed->deathMonth, changed->deathDay}),
            (GregorianDate{1984, 2, 2}));
  EXPECT_TRUE(NoticeTexts().isEmpty());
}

TEST(LunarDays, LeapMonthsAndShortMonthsKeepTheirDay) {
  // 闰 born on 闰二月十五, 平 on 二月十五 of the same year, 末 on a 十二月三十
  // (died on 1930-03-14, 二月十五).
  MemberNode leap, plain, last;
  leap.name = u"闰";
  leap.birthYear = 1890, leap.birthMonth = 4, leap.birthDay = 4;
  plain.name = u"平";
  plain.birthYear = 1890, plain.birthMonth = 3, plain.birthDay = 5;
  plain.alive = 0, plain.deathYear = 1930, plain.deathMonth = 3, plain.deathDay = 14;
  last.name = u"末";
  last.birthYear = 1900, last.birthMonth = 1, last.birthDay = 30;
  plain.firstChild = &leap;
  leap.nextSibling = &last;
  struct Row {
    LocalDate today;
    const char* births;
    const char* deathDays;
  } rows[] = {
      {{2024, 3, 24}, "平闰", "平"},  // 二月十五 of a year without 闰二月
      {{2023, 3, 6}, "平", "平"},     // 2023 has a 闰二月: its child waits for it
      {{2023, 4, 5}, "闰", ""},       // 闰二月十五
      {{2025, 1, 28}, "末", ""},      // 廿九, the last day of a short 十二月
      {{2024, 2, 8}, "", ""},         // 廿九 of a 十二月 that has a 三十
      {{2024, 2, 9}, "末", ""},      {{1300, 1, 1}, "", ""},  // outside the table
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.today.year * 10000 + row.today.month * 100 + row.today.day);
    const LunarDaysToday found = FindLunarDays(&plain, row.today, true, true);
    auto names = [](const std::vector<MemberNode*>& members) {
      QString text;
      for (const MemberNode* m : members) text += QString::fromStdU16String(m->name);
      return text;
    };
    EXPECT_EQ(names(found.births), QString::fromUtf8(row.births));
    EXPECT_EQ(names(found.deathDays), QString::fromUtf8(row.deathDays));
    EXPECT_TRUE(FindLunarDays(&plain, row.today, false, false).births.empty());
  }
}

// 庚寅年二月十五 (1890-03-05) comes again on 2024-03-24 (甲辰年二月十五).
TEST_F(DatesInTheWindow, OpenNamesChineseBirthdaysAndDeathDaysWhenAskedTo) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("book.ftf"));
  WriteFile(path,
            "祖 1860 1 1 1 end 0 1930 3 14 -1\r\n"  // died 庚午年二月十五
            "甲 1890 3 5 1 end 1 祖\r\n"            // born 庚寅年二月十五
            "乙 1895 3 24 0 end 1 祖\r\n" +         // born on 3-24 by the Gregorian calendar
                kEndLine);
  SetTodayForTesting(LocalDate{2024, 3, 24});
  auto texts = [this] {
    QStringList found;
    for (const RecordedBox& box : boxes.Boxes()) found << box.text;
    return found;
  };
  // Off, as the seed: the Gregorian birthday alone.
  window.OpenAtStart(path);
  EXPECT_EQ(texts(),
            QStringList{QStringLiteral("今天为以下家族成员的生日:  乙  \n详细信息请见以下列表.")});
  EXPECT_EQ(ListNamesOf(window.listView()), QStringList{QStringLiteral("乙")});

  Action(window, "lunarBirthdaysAtOpen")->trigger();
  Action(window, "deathDaysAtOpen")->trigger();
  EXPECT_TRUE(clanbook_settings::LunarBirthdays());
  EXPECT_TRUE(clanbook_settings::DeathDays());
  boxes.Clear();
  window.OpenAtStart(path);
  EXPECT_EQ(texts(), QStringList{QStringLiteral("今天为以下家族成员的生日:  乙  \n"
                                                "今天为以下家族成员的农历生日:  甲  \n"
                                                "今天为以下先人的忌日（农历）:  祖  \n"
                                                "详细信息请见以下列表.")});
  EXPECT_EQ(ListNamesOf(window.listView()),
            (QStringList{QStringLiteral("乙"), QStringLiteral("甲"), QStringLiteral("祖")}));

  // The next day nobody's.
  SetTodayForTesting(LocalDate{2024, 3, 25});
  boxes.Clear();
  window.OpenAtStart(path);
  EXPECT_TRUE(texts().isEmpty());
}

}  // namespace
