// The 行传 template and the dates, on one small book of three branches
// where the name 传枝 is borne three times.
#include "book/LifeRecord.h"

#include "calendar/ChineseCalendar.h"
#include "model/COperationClanbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

// Readable failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

using book::BookContext;
using book::BookOptions;
using book::DateStyle;
using book::LifeRecord;

// 一世 永福
//   二世 守仁: 传枝 (the issue's 传枝: 继祖, 秀英), 传根 (嗣子继宗, 传枝 兼祧传叶)
//   二世 守义: 传叶 (嗣子继业), 传枝 (the other 传枝, who gave out 继业)
struct Book {
  COperationClanbook tree;
  std::map<std::string, MemberNode*> members;

  MemberNode* Add(const std::string& key, MemberNode* father, const std::u16string& name,
                  GregorianDate birth, GregorianDate death = {}, MemberRecord record = {}) {
    auto* m = new MemberNode;
    m->name = name;
    m->birthYear = birth.year;
    m->birthMonth = birth.month;
    m->birthDay = birth.day;
    m->alive = death.year == 0 ? 1 : 0;
    m->deathYear = death.year;
    m->deathMonth = death.month;
    m->deathDay = death.day;
    m->extra.SetRecord(record);
    tree.InsertMember(father, m);
    members[key] = m;
    return m;
  }
  MemberNode& operator[](const std::string& key) { return *members.at(key); }
  MemberRecord& Record(const std::string& key) { return members.at(key)->extra.EditRecord(); }

  Book() {
    MemberNode* root = Add("永福", nullptr, u"永福", {1820, 3, 1}, {1880, 1, 1});
    MemberNode* shouren = Add("守仁", root, u"守仁", {1850, 1, 1}, {1910, 1, 1});
    MemberNode* shouyi = Add("守义", root, u"守义", {1855, 1, 1}, {1915, 1, 1});

    MemberRecord chuanzhi;
    chuanzhi.courtesyName = u"茂林";
    chuanzhi.artName = u"松亭";
    chuanzhi.rank = u"次子";
    chuanzhi.burialPlace = u"村东山坳";
    chuanzhi.burialFacing = u"坐北朝南";
    Spouse wang;
    wang.surname = u"王";
    wang.origin = u"本县王家庄";
    wang.father = u"王公德昌";
    Spouse li;
    li.title = SpouseTitle::kJiPei;
    li.surname = u"李";
    chuanzhi.spouses = {wang, li};
    const GregorianDate died = *ToGregorian(LunarDate{1949, 9, false, 3});
    const GregorianDate born = *ToGregorian(LunarDate{1890, 2, false, 15});
    MemberNode* a = Add("传枝", shouren, u"传枝", born, died, chuanzhi);
    MemberNode* gen = Add("传根", shouren, u"传根", {1893, 5, 1}, {1950, 1, 1});
    Add("继祖", a, u"继祖", {1915, 6, 1});
    MemberRecord daughter;
    daughter.sex = Sex::kFemale;
    daughter.husbandPlace = u"张家村";
    daughter.husbandName = u"张某";
    Add("秀英", a, u"秀英", {1917, 2, 1}, {}, daughter);
    MemberRecord given;
    given.birthFather = u"传枝";
    Add("继宗", gen, u"继宗", {1918, 8, 1}, {}, given);
    MemberRecord both;
    both.secondFather = u"传叶";
    Add("传枝4", gen, u"传枝", {1920, 1, 1}, {}, both);

    MemberNode* ye = Add("传叶", shouyi, u"传叶", {1886, 1, 1}, {1940, 1, 1});
    Add("传枝B", shouyi, u"传枝", {1891, 1, 1}, {1960, 1, 1});
    Add("继业", ye, u"继业", {1912, 1, 1}, {}, given);
  }
};

QString Plain(QString text) {
  return text.remove(book::kNameJoiner);
}

BookOptions Options(DateStyle dates = DateStyle::kLunar, bool privateLiving = false) {
  BookOptions options;
  options.dates = dates;
  options.privateLiving = privateLiving;
  return options;
}

QString ParagraphOf(Book& book, const std::string& key, const BookOptions& options = Options()) {
  const BookContext context(book.tree, options);
  return LifeRecord::Paragraph(book[key], context);
}

const QString kIssue = QStringLiteral(
    "传枝，字茂林，号松亭，行二。光绪十六年庚寅二月十五日生，民国三十八年己丑九月初三日卒，"
    "享年六十岁。葬村东山坳，坐北朝南。配王氏，本县王家庄人，王公德昌之女。继配李氏。"
    "子二：继祖、继宗（出继传根）。女一，适张家村张某。");

TEST(LifeRecordTest, TheIssuesExampleComesFromTheRecordHoldingIt) {
  Book book;
  EXPECT_EQ(Plain(ParagraphOf(book, "传枝")), kIssue);
}

TEST(LifeRecordTest, EveryNameIsJoinedAndNothingElse) {
  Book book;
  const QString text = ParagraphOf(book, "传枝");
  for (const char16_t* name : {u"传枝", u"茂林", u"松亭", u"王氏", u"王公德昌", u"李氏", u"继祖",
                               u"继宗", u"传根", u"张某"}) {
    const QString plain = QString::fromStdU16String(name);
    QString joined;
    for (const QChar c : plain)
      joined += (joined.isEmpty() ? QString() : QString(book::kNameJoiner)) + c;
    EXPECT_TRUE(text.contains(joined)) << plain.toStdString();
  }
  // A joiner between a name and the words around it would glue them.
  EXPECT_FALSE(text.contains(QStringLiteral("行\u2060二")));
  EXPECT_FALSE(text.contains(QStringLiteral("枝\u2060，")));
  EXPECT_FALSE(text.startsWith(book::kNameJoiner));
}

// Each clause is there only when its data is: one change to the issue's
// record a row, and the whole paragraph it gives.
struct ClauseRow {
  const char* what;
  std::function<void(Book&)> change;
  QString expected;
};

QString Issue(const QString& from, const QString& to) {
  QString text = kIssue;
  EXPECT_TRUE(text.contains(from)) << from.toStdString();
  return text.replace(from, to);
}

TEST(LifeRecordTest, EachClauseOnlyWithItsData) {
  const std::vector<ClauseRow> rows = {
      {"no 字", [](Book& b) { b.Record("传枝").courtesyName.clear(); }, Issue("字茂林，", "")},
      {"no 号", [](Book& b) { b.Record("传枝").artName.clear(); }, Issue("，号松亭", "")},
      {"no rank", [](Book& b) { b.Record("传枝").rank.clear(); }, Issue("，行二", "")},
      {"长子 is 行一", [](Book& b) { b.Record("传枝").rank = u"长子"; }, Issue("行二", "行一")},
      {"行三 as it is", [](Book& b) { b.Record("传枝").rank = u"行三"; }, Issue("行二", "行三")},
      {"十一子", [](Book& b) { b.Record("传枝").rank = u"十一子"; }, Issue("行二", "行十一")},
      {"a place alone", [](Book& b) { b.Record("传枝").rank = u"二"; }, kIssue},
      {"the eldest alone", [](Book& b) { b.Record("传枝").rank = u"长"; }, Issue("行二", "行一")},
      {"a place in digits", [](Book& b) { b.Record("传枝").rank = u"3"; }, Issue("行二", "行三")},
      {"a daughter's place alone",
       [](Book& b) {
         b.Record("传枝").rank = u"次";
         b.Record("传枝").sex = Sex::kFemale;
       },
       Issue("行二", "次女")},
      {"a daughter's rank", [](Book& b) { b.Record("传枝").rank = u"长女"; },
       Issue("行二", "长女")},
      {"another rank as written", [](Book& b) { b.Record("传枝").rank = u"老二"; },
       Issue("行二", "老二")},
      {"no 字, 号 or rank",
       [](Book& b) {
         const std::vector<Spouse> wives = b.Record("传枝").spouses;
         b.Record("传枝") = MemberRecord();
         b.Record("传枝").spouses = wives;
       },
       Issue("传枝，字茂林，号松亭，行二。", "传枝。")
           .replace(QStringLiteral("葬村东山坳，坐北朝南。"), QString())},
      {"birth unknown", [](Book& b) { b["传枝"].birthYear = 0; },
       Issue("光绪十六年庚寅二月十五日生，", "")
           .replace(QStringLiteral("，享年六十岁"), QString())},
      {"birth day unknown: the Gregorian month, no age", [](Book& b) { b["传枝"].birthDay = 0; },
       Issue("光绪十六年庚寅二月十五日生", "一八九〇年三月生")
           .replace(QStringLiteral("，享年六十岁"), QString())},
      {"birth year alone: the Chinese year that begins in it",
       [](Book& b) { b["传枝"].birthMonth = b["传枝"].birthDay = 0; },
       Issue("光绪十六年庚寅二月十五日生", "光绪十六年庚寅生")
           .replace(QStringLiteral("，享年六十岁"), QString())},
      {"death unknown", [](Book& b) { b["传枝"].deathYear = 0; },
       Issue("生，民国三十八年己丑九月初三日卒，享年六十岁。", "生。")},
      {"living: no death", [](Book& b) { b["传枝"].alive = 1; },
       Issue("生，民国三十八年己丑九月初三日卒，享年六十岁。", "生。")},
      {"birth hour", [](Book& b) { b.Record("传枝").birthHour = u"辰时"; },
       Issue("十五日生", "十五日辰时生")},
      {"no burial place: the facing alone", [](Book& b) { b.Record("传枝").burialPlace.clear(); },
       Issue("葬村东山坳，坐北朝南。", "墓坐北朝南。")},
      {"no facing", [](Book& b) { b.Record("传枝").burialFacing.clear(); },
       Issue("，坐北朝南", "")},
      {"no wives", [](Book& b) { b.Record("传枝").spouses.clear(); },
       Issue("配王氏，本县王家庄人，王公德昌之女。继配李氏。", "")},
      {"a wife's endings not doubled",
       [](Book& b) {
         b.Record("传枝").spouses[0].origin = u"本县王家庄人";
         b.Record("传枝").spouses[0].father = u"王公德昌之女";
       },
       kIssue},
      {"a wife's given name, dates and burial",
       [](Book& b) {
         Spouse& li = b.Record("传枝").spouses[1];
         li.givenName = u"秀兰";
         li.birthYear = 1895;
         li.deathYear = 1960;
         li.burial = u"祖茔";
       },
       Issue("继配李氏。", "继配李氏（秀兰），光绪二十一年乙未生，公元一九六〇年庚子卒，葬祖茔。")},
      {"other titles and an unknown surname",
       [](Book& b) {
         b.Record("传枝").spouses[0].title = SpouseTitle::kQu;
         b.Record("传枝").spouses[1].title = SpouseTitle::kCeShi;
         b.Record("传枝").spouses[1].surname.clear();
       },
       Issue("配王氏", "娶王氏").replace(QStringLiteral("继配李氏"), QStringLiteral("侧室某氏"))},
      {"his own 行传 after the template",
       [](Book& b) { b.Record("传枝").biography = u"幼承庭训，\n勤俭持家。"; },
       kIssue + QStringLiteral("幼承庭训，勤俭持家。")},
      {"control characters from an import",
       [](Book& b) {
         b.Record("传枝").courtesyName = u"茂\u200b林\u2060";
         b.Record("传枝").spouses[0].father = u"王公\u001b德昌\r\n";
         b.Record("秀英").husbandName = std::u16string(u"张\u0000某", 3);
       },
       kIssue},
      {"a given-out son born first goes first", [](Book& b) { b["继宗"].birthYear = 1910; },
       Issue("继祖、继宗（出继传根）", "继宗（出继传根）、继祖")},
      {"two daughters, one unmarried",
       [](Book& b) {
         MemberRecord second;
         second.sex = Sex::kFemale;
         b.Add("秀兰", &b["传枝"], u"秀兰", {1920, 1, 1}, {}, second);
       },
       Issue("女一，适张家村张某。", "女二：长适张家村张某，次秀兰。")},
      {"an unmarried daughter alone",
       [](Book& b) {
         b.Record("秀英").husbandName.clear();
         b.Record("秀英").husbandPlace.clear();
       },
       Issue("女一，适张家村张某。", "女一：秀英。")},
      {"a husband's place alone", [](Book& b) { b.Record("秀英").husbandName.clear(); },
       Issue("适张家村张某", "适张家村")},
  };
  for (const ClauseRow& row : rows) {
    Book book;
    row.change(book);
    EXPECT_EQ(Plain(ParagraphOf(book, "传枝")), row.expected) << row.what;
  }
}

TEST(LifeRecordTest, EachDateStyle) {
  Book book;
  const QString gregorian = Issue("光绪十六年庚寅二月十五日生，民国三十八年己丑九月初三日卒",
                                  "一八九〇年三月五日生，一九四九年十月二十四日卒");
  const QString both = Issue("光绪十六年庚寅二月十五日生，民国三十八年己丑九月初三日卒",
                             "光绪十六年庚寅二月十五日（公历一八九〇年三月五日）生，"
                             "民国三十八年己丑九月初三日（公历一九四九年十月二十四日）卒");
  EXPECT_EQ(Plain(ParagraphOf(book, "传枝", Options(DateStyle::kGregorian))), gregorian);
  EXPECT_EQ(Plain(ParagraphOf(book, "传枝", Options(DateStyle::kBoth))), both);
}

struct DateRow {
  int year, month, day;
  DateStyle style;
  const char16_t* expected;
};

TEST(LifeRecordTest, DatesInEachCalendar) {
  const std::vector<DateRow> rows = {
      {1890, 3, 5, DateStyle::kLunar, u"光绪十六年庚寅二月十五日"},
      {1890, 4, 4, DateStyle::kLunar, u"光绪十六年庚寅闰二月十五日"},
      {1890, 3, 5, DateStyle::kGregorian, u"一八九〇年三月五日"},
      {1890, 3, 5, DateStyle::kBoth, u"光绪十六年庚寅二月十五日（公历一八九〇年三月五日）"},
      // The last days of 辛亥 after the abdication are still 宣统三年; 壬子 is 民国元年.
      {1912, 2, 15, DateStyle::kLunar, u"宣统三年辛亥十二月廿八日"},
      {1912, 3, 1, DateStyle::kLunar, u"民国元年壬子正月十三日"},
      // 己丑 ran into January 1950: its year stays 民国三十八年; 庚寅 is 公元.
      {1950, 1, 20, DateStyle::kLunar, u"民国三十八年己丑十二月初三日"},
      {1950, 10, 1, DateStyle::kLunar, u"公元一九五〇年庚寅八月二十日"},
      {2023, 4, 10, DateStyle::kLunar, u"公元二〇二三年癸卯闰二月二十日"},
      // Outside the table, and unknown parts, fall back to the Gregorian words.
      {1300, 5, 6, DateStyle::kLunar, u"一三〇〇年五月六日"},
      {1300, 5, 6, DateStyle::kBoth, u"一三〇〇年五月六日"},
      {1890, 4, 0, DateStyle::kLunar, u"一八九〇年四月"},
      {1890, 0, 0, DateStyle::kGregorian, u"一八九〇年"},
      {1890, 0, 0, DateStyle::kBoth, u"光绪十六年庚寅（公历一八九〇年）"},
      {1890, 2, 30, DateStyle::kGregorian, u"一八九〇年二月"},
      {1890, 13, 5, DateStyle::kGregorian, u"一八九〇年"},
      {-200, 1, 1, DateStyle::kLunar, u"公元前二〇〇年"},
      {0, 4, 4, DateStyle::kLunar, u""},
  };
  for (const DateRow& row : rows)
    EXPECT_EQ(LifeRecord::Date(row.year, row.month, row.day, row.style),
              QString::fromStdU16String(row.expected))
        << row.year << "-" << row.month << "-" << row.day << " " << static_cast<int>(row.style);
}

TEST(LifeRecordTest, PrivateLivingKeepsNamesAndRelationsOnly) {
  Book book;
  book["传枝"].alive = 1;
  book.Record("传枝").birthHour = u"辰时";
  book.Record("传枝").spouses[1].birthYear = 1900;
  const QString hidden = Plain(ParagraphOf(book, "传枝", Options(DateStyle::kLunar, true)));
  EXPECT_EQ(hidden, QStringLiteral("传枝，字茂林，号松亭，行二。配王氏，王公德昌之女。继配李氏。"
                                   "子二：继祖、继宗（出继传根）。女一，适张家村张某。"));
  // Not asked: the living are printed whole.
  EXPECT_TRUE(ParagraphOf(book, "传枝").contains(QStringLiteral("本县王家庄")));
  // The dead stay whole when asked, but a living wife of his is kept private.
  book["传枝"].alive = 0;
  book.Record("传枝").birthHour.clear();
  book.Record("传枝").spouses[1].alive = 1;
  EXPECT_EQ(Plain(ParagraphOf(book, "传枝", Options(DateStyle::kLunar, true))), kIssue);
  book.Record("传枝").spouses[1].alive = 0;
  EXPECT_EQ(Plain(ParagraphOf(book, "传枝", Options(DateStyle::kLunar, true))),
            Issue("继配李氏。", "继配李氏，光绪二十六年庚子生。"));
}

// 出继 and 嗣子 where three members are called 传枝: the birth father is the
// one of the adoptive father's 世 nearest to him in the tree.
TEST(LifeRecordTest, GivenOutSonsFindTheirBirthFatherAmongNamesakes) {
  Book book;
  const BookContext context(book.tree, Options());
  using List = std::vector<const MemberNode*>;
  EXPECT_EQ(context.GivenOut(book["传枝"]), List{&book["继宗"]});
  EXPECT_EQ(context.GivenOut(book["传枝B"]), List{&book["继业"]});
  EXPECT_EQ(context.GivenOut(book["传枝4"]), List{});
  EXPECT_EQ(context.GivenOut(book["传根"]), List{});

  EXPECT_EQ(Plain(LifeRecord::Paragraph(book["传根"], context)),
            QStringLiteral("传根。一八九三年五月一日生，一九五〇年一月一日卒，享年五十七岁。"
                           "子二：嗣子继宗（传枝之子）、传枝（兼祧传叶）。")
                .replace(QStringLiteral("一八九三年五月一日"),
                         LifeRecord::Date(1893, 5, 1, DateStyle::kLunar))
                .replace(QStringLiteral("一九五〇年一月一日"),
                         LifeRecord::Date(1950, 1, 1, DateStyle::kLunar)));
  EXPECT_TRUE(Plain(LifeRecord::Paragraph(book["传枝B"], context))
                  .endsWith(QStringLiteral("子一：继业（出继传叶）。")));
  EXPECT_TRUE(Plain(LifeRecord::Paragraph(book["传叶"], context))
                  .endsWith(QStringLiteral("子一：嗣子继业（传枝之子）。")));
  EXPECT_EQ(Plain(LifeRecord::Paragraph(book["继宗"], context)),
            QStringLiteral("继宗，生父传枝。") + LifeRecord::Date(1918, 8, 1, DateStyle::kLunar) +
                QStringLiteral("生。"));
  EXPECT_TRUE(Plain(LifeRecord::Paragraph(book["传枝4"], context))
                  .startsWith(QStringLiteral("传枝，兼祧传叶。")));
}

// The rule said plainly, over every bearer of the name, against the index's
// search among neighbours, on books where four names are borne by everyone.
TEST(LifeRecordTest, BirthFathersAreThoseTheRuleNamesInRandomBooks) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    COperationClanbook tree;
    std::vector<MemberNode*> all;
    std::vector<int> depth;
    const char16_t* names[] = {u"甲", u"乙", u"丙", u"丁"};
    for (int i = 0; i < 600; ++i) {
      auto* m = new MemberNode;
      m->name = names[random() % 4];
      const int father = all.empty() ? -1 : static_cast<int>(random() % all.size());
      m->birthYear = 1700 + i;
      m->birthMonth = m->birthDay = 1;
      if (father >= 0 && random() % 4 == 0) m->extra.EditRecord().birthFather = names[random() % 4];
      tree.InsertMember(father < 0 ? nullptr : all[static_cast<std::size_t>(father)], m);
      all.push_back(m);
      depth.push_back(father < 0 ? 0 : depth[static_cast<std::size_t>(father)] + 1);
    }
    // The tree's order, in which "earlier" is meant.
    std::map<const MemberNode*, int> order;
    std::vector<const MemberNode*> stack{tree.Root()};
    while (!stack.empty()) {
      const MemberNode* m = stack.back();
      stack.pop_back();
      order[m] = static_cast<int>(order.size());
      std::vector<const MemberNode*> children;
      for (const MemberNode* c = m->firstChild; c; c = c->nextSibling) children.push_back(c);
      stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    const auto ancestors = [](const MemberNode* m) {
      std::vector<const MemberNode*> line;
      for (; m; m = m->parent) line.insert(line.begin(), m);
      return line;
    };
    const auto commonDepth = [&](const MemberNode* a, const MemberNode* b) {
      const auto x = ancestors(a), y = ancestors(b);
      std::size_t d = 0;
      while (d < x.size() && d < y.size() && x[d] == y[d]) ++d;
      return static_cast<int>(d);
    };
    std::map<const MemberNode*, std::vector<const MemberNode*>> expected;
    std::vector<std::pair<int, const MemberNode*>> sons;
    for (const MemberNode* m : all) sons.emplace_back(order[m], m);
    std::sort(sons.begin(), sons.end());
    for (const auto& [place, son] : sons) {
      const std::u16string& named = son->extra.Record().birthFather;
      if (named.empty()) continue;
      const MemberNode* father = son->parent;
      const MemberNode* best = nullptr;
      for (std::size_t i = 0; i < all.size(); ++i) {
        const MemberNode* c = all[i];
        if (c == father || c->name != named || ancestors(c).size() != ancestors(father).size())
          continue;
        if (!best || commonDepth(c, father) > commonDepth(best, father) ||
            (commonDepth(c, father) == commonDepth(best, father) && order[c] < order[best]))
          best = c;
      }
      if (best) expected[best].push_back(son);
    }
    const BookContext context(tree, Options());
    for (const MemberNode* m : all) {
      const auto found = expected.find(m);
      EXPECT_EQ(context.GivenOut(*m),
                found == expected.end() ? std::vector<const MemberNode*>() : found->second)
          << "seed " << seed << " member " << order[m];
    }
  }
}

TEST(LifeRecordTest, BirthFatherOfNoOneInTheBookIsNamedAtTheAdoptiveFatherOnly) {
  Book book;
  book.Record("继宗").birthFather = u"传业";  // nobody's name
  book.Record("继业").birthFather = u"永福";  // a name of another 世
  const BookContext context(book.tree, Options());
  EXPECT_TRUE(context.GivenOut(book["传枝"]).empty());
  EXPECT_TRUE(context.GivenOut(book["永福"]).empty());
  EXPECT_TRUE(Plain(LifeRecord::Paragraph(book["传根"], context))
                  .contains(QStringLiteral("嗣子继宗（传业之子）")));
}

// The English catalogue as the program loads it, read from the source tree so
// that the test needs no build of the application.
class Catalogue : public QTranslator {
public:
  Catalogue() {
    QFile file(QStringLiteral(CLANBOOK_SOURCE_DIR "/translations/clanbook_en.ts"));
    if (!file.open(QIODevice::ReadOnly)) return;
    QXmlStreamReader xml(file.readAll());
    QString context, source, comment;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == u"name") {
        context = xml.readElementText();
      } else if (xml.name() == u"message") {
        comment.clear();
      } else if (xml.name() == u"source") {
        source = xml.readElementText();
      } else if (xml.name() == u"comment") {
        comment = xml.readElementText();
      } else if (xml.name() == u"translation") {
        m_entries.insert(context + u'\u0001' + source + u'\u0001' + comment, xml.readElementText());
      }
    }
  }
  bool Has(const QString& context) const {
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
      if (it.key().startsWith(context + u'\u0001')) return true;
    return false;
  }
  QString translate(const char* context, const char* source, const char* disambiguation,
                    int) const override {
    return m_entries.value(QString::fromUtf8(context) + u'\u0001' + QString::fromUtf8(source) +
                           u'\u0001' + QString::fromUtf8(disambiguation));
  }
  bool isEmpty() const override { return m_entries.isEmpty(); }

private:
  QHash<QString, QString> m_entries;
};

TEST(LifeRecordTest, TheEnglishBookReadsAsEnglishWithTheNamesKept) {
  Catalogue english;
  if (!english.Has(QStringLiteral("LifeRecord")))
    GTEST_SKIP() << "translations/clanbook_en.ts holds no LifeRecord entries yet";
  QCoreApplication::installTranslator(&english);
  Book book;
  book.Record("秀英").husbandPlace.clear();
  book.Record("传枝").birthHour = u"辰时";
  // A name in Latin letters stays as written, even at a sentence's head.
  book["传枝"].name = u"chuanzhi";
  book.Record("继宗").birthFather = u"chuanzhi";
  MemberRecord second;
  second.sex = Sex::kFemale;
  second.husbandName = u"刘某";
  book.Add("秀兰", &book["传枝"], u"秀兰", {1920, 1, 1}, {}, second);
  const QString text = Plain(ParagraphOf(book, "传枝", Options(DateStyle::kGregorian)));
  const QString lunar = LifeRecord::Date(1890, 3, 5, DateStyle::kLunar);
  const QString yearOnly = LifeRecord::Date(1890, 0, 0, DateStyle::kBoth);
  const QString table = Plain(LifeRecord::Short(book["传枝"], BookContext(book.tree, Options())));
  const QString adopted = Plain(ParagraphOf(book, "传根", Options(DateStyle::kGregorian)));
  QCoreApplication::removeTranslator(&english);
  EXPECT_EQ(
      text,
      QStringLiteral(
          "chuanzhi, courtesy name 茂林, art name 松亭, 2nd son. Born 5 March 1890 (辰时), died 24 "
          "October 1949, aged 60 (sui). Buried at 村东山坳, facing 坐北朝南. Wife: Lady 王, "
          "of 本县王家庄, daughter of 王公德昌. Second wife: Lady 李. 2 sons: 继祖, 继宗 "
          "(continues the line of 传根). 2 daughters: the 1st married to 张某, the 2nd "
          "married to 刘某."));
  EXPECT_EQ(lunar, QStringLiteral("5 March 1890 (lunar: Guangxu 16, month 2, day 15)"));
  EXPECT_EQ(yearOnly, QStringLiteral("1890"));
  EXPECT_EQ(table, QStringLiteral("cn. 茂林, 1890–1949, m. Lady 王, Lady 李"));
  EXPECT_TRUE(adopted.endsWith(
      QStringLiteral("2 sons: 继宗 (adopted heir, son of chuanzhi), 传枝 (also heir of 传叶).")))
      << adopted.toStdString();
  // Back in Chinese once the catalogue is gone.
  EXPECT_EQ(Plain(ParagraphOf(book, "传枝")).left(11), QStringLiteral("chuanzhi，字茂"));
}

TEST(LifeRecordTest, ShortRecordBesideAName) {
  Book book;
  const struct {
    DateStyle style;
    bool privateLiving;
    const char16_t* expected;
  } rows[] = {
      {DateStyle::kLunar, false, u"字茂林，庚寅—己丑，配王氏、李氏"},
      {DateStyle::kBoth, false, u"字茂林，庚寅—己丑，配王氏、李氏"},
      {DateStyle::kGregorian, false, u"字茂林，一八九〇—一九四九，配王氏、李氏"},
  };
  for (const auto& row : rows) {
    const BookContext context(book.tree, Options(row.style, row.privateLiving));
    EXPECT_EQ(Plain(LifeRecord::Short(book["传枝"], context)),
              QString::fromStdU16String(row.expected));
  }
  book["传枝"].alive = 1;
  EXPECT_EQ(Plain(LifeRecord::Short(book["传枝"], BookContext(book.tree, Options()))),
            QStringLiteral("字茂林，庚寅生，配王氏、李氏"));
  EXPECT_EQ(Plain(LifeRecord::Short(book["传枝"],
                                    BookContext(book.tree, Options(DateStyle::kLunar, true)))),
            QStringLiteral("字茂林，配王氏、李氏"));
  EXPECT_EQ(
      LifeRecord::Short(book["继祖"], BookContext(book.tree, Options(DateStyle::kLunar, true))),
      QString());
}

TEST(LifeRecordTest, WifeNameAsTheIndexGivesIt) {
  Spouse wife;
  wife.surname = u"王";
  EXPECT_EQ(Plain(LifeRecord::WifeName(wife)), QStringLiteral("王氏"));
  wife.givenName = u"秀\u0007英";
  EXPECT_EQ(Plain(LifeRecord::WifeName(wife)), QStringLiteral("王氏（秀英）"));
  EXPECT_EQ(LifeRecord::WifeName(wife).count(book::kNameJoiner), 5);
}

}  // namespace
