// The 行传 template. Every piece of it is a translatable pattern, so that the
// English interface gets an English book: Chinese patterns carry their own
// punctuation (，。：、), the English ones theirs (", " ". " ": "), and the
// names, places and texts the clan wrote are printed as they wrote them.
// The rules as a reader of the book sees them are in docs/book.md.
#include "book/LifeRecord.h"

#include "book/LifeRecordText.h"
#include "calendar/ChineseCalendar.h"
#include "document/DateWords.h"
#include "model/COperationClanbook.h"

#include <QStringList>

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

namespace book {

// ---------------------------------------------------------------------------
// Who was given out by whom.

struct BookContext::Data {
  BookOptions options;
  std::unordered_map<const MemberNode*, std::vector<const MemberNode*>> givenOut;
};

namespace {

// The tree in pre-order with what finding a birth father needs: each member's
// depth (his 世 less one) and his father's place in the order.
struct Walked {
  std::vector<const MemberNode*> members;
  std::vector<int> parent;  // -1 for the root
  std::vector<int> depth;
};

Walked WalkTree(const MemberNode* root) {
  Walked walked;
  std::vector<std::pair<const MemberNode*, int>> stack;  // member, his father's place
  if (root) stack.emplace_back(root, -1);
  while (!stack.empty()) {
    const auto [member, parent] = stack.back();
    stack.pop_back();
    const int place = static_cast<int>(walked.members.size());
    walked.members.push_back(member);
    walked.parent.push_back(parent);
    walked.depth.push_back(parent < 0 ? 0 : walked.depth[static_cast<std::size_t>(parent)] + 1);
    // Later siblings first onto the stack, so that the eldest comes out first.
    std::vector<const MemberNode*> children;
    for (const MemberNode* child = member->firstChild; child; child = child->nextSibling)
      children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.emplace_back(*it, place);
  }
  return walked;
}

// The depth of the closest common ancestor of two members of the same depth.
int CommonDepth(const Walked& walked, int a, int b) {
  int depth = walked.depth[static_cast<std::size_t>(a)];
  while (a != b) {
    a = walked.parent[static_cast<std::size_t>(a)];
    b = walked.parent[static_cast<std::size_t>(b)];
    --depth;
  }
  return depth;
}

}  // namespace

// A son's 生父 is a name, and names repeat in a large book. The birth father
// is the member of that name who stands in the same 世 as the son's father in
// the tree (his adoptive father: a son is given to a brother or a cousin, of
// his own father's generation), other than that father himself; among several,
// the one nearest to the adoptive father in the tree, that is whose closest
// common ancestor with him is the deepest; between two equally near, the one
// earlier in the tree's order. A 生父 whom no member fits is named at the
// adoptive father's only.
//
// Of the members of one name and one 世 in pre-order, the nearest to a member
// is always one of his two neighbours in that order, and the earliest of the
// nearest the first in that order below their common ancestor; so each son
// costs binary searches and walks up the tree no longer than it has
// generations: O(n log n) for the book.
BookContext::BookContext(const COperationClanbook& genealogy, const BookOptions& options)
    : m_data(std::make_unique<Data>()) {
  m_data->options = options;
  const Walked walked = WalkTree(genealogy.Root());
  const int count = static_cast<int>(walked.members.size());

  std::vector<int> sons;                             // the places of the sons who name a 生父
  std::map<std::u16string, std::vector<int>> named;  // 生父 names, filled below
  for (int i = 0; i < count; ++i) {
    const MemberNode& member = *walked.members[static_cast<std::size_t>(i)];
    if (!member.extra.HasRecord() || walked.parent[static_cast<std::size_t>(i)] < 0) continue;
    const std::u16string& father = member.extra.Record().birthFather;
    if (father.empty()) continue;
    sons.push_back(i);
    named.try_emplace(father);
  }
  if (sons.empty()) return;

  // The bearers of those names by (name, depth), each list in pre-order.
  std::map<std::pair<std::u16string, int>, std::vector<int>> bearers;
  for (int i = 0; i < count; ++i) {
    const std::u16string& name = walked.members[static_cast<std::size_t>(i)]->name;
    if (named.count(name)) bearers[{name, walked.depth[static_cast<std::size_t>(i)]}].push_back(i);
  }

  for (const int son : sons) {
    const int father = walked.parent[static_cast<std::size_t>(son)];
    const auto found =
        bearers.find({walked.members[static_cast<std::size_t>(son)]->extra.Record().birthFather,
                      walked.depth[static_cast<std::size_t>(father)]});
    if (found == bearers.end()) continue;
    const std::vector<int>& list = found->second;
    const auto after = std::upper_bound(list.begin(), list.end(), father);
    const auto before = std::lower_bound(list.begin(), list.end(), father);
    int nearest = -1;  // the depth of the deepest common ancestor
    if (before != list.begin()) nearest = CommonDepth(walked, *(before - 1), father);
    if (after != list.end()) nearest = std::max(nearest, CommonDepth(walked, *after, father));
    if (nearest < 0) continue;
    // Every bearer as near lies below that ancestor, which comes before them
    // all in the order: the first bearer after him is the earliest.
    int top = father;
    while (walked.depth[static_cast<std::size_t>(top)] > nearest)
      top = walked.parent[static_cast<std::size_t>(top)];
    auto chosen = std::lower_bound(list.begin(), list.end(), top);
    if (*chosen == father) ++chosen;
    m_data->givenOut[walked.members[static_cast<std::size_t>(*chosen)]].push_back(
        walked.members[static_cast<std::size_t>(son)]);
  }
}

BookContext::~BookContext() = default;

std::vector<const MemberNode*> BookContext::GivenOut(const MemberNode& member) const {
  const auto found = m_data->givenOut.find(&member);
  return found == m_data->givenOut.end() ? std::vector<const MemberNode*>() : found->second;
}

const BookOptions& BookContext::Options() const {
  return m_data->options;
}

// ---------------------------------------------------------------------------
// Words.

namespace {

// The words of a date as the book prints it, in Chinese.
QString GregorianChinese(int year, int month, int day) {
  if (year < 0) return QStringLiteral("公元前") + ChineseDigits(QString::number(-year)) + u'年';
  QString text = ChineseDigits(QString::number(year)) + u'年';
  if (month == 0) return text;
  text += QString::fromStdU16String(ChineseNumber(month)) + u'月';
  if (day == 0) return text;
  return text + QString::fromStdU16String(ChineseNumber(day)) + u'日';
}

// The year of a reign as the 行传 names it: without the dynasty (光绪十六年,
// 民国元年, 公元一九五〇年).
QString ReignWords(const ReignYear& reign) {
  return QString::fromStdU16String(ReignYearText(reign).substr(reign.dynasty.size()));
}

// 光绪十六年庚寅二月十五日. A Chinese date is counted in the reign its Chinese
// year began in, so that the year's number never disagrees with its 干支: the
// whole of 己丑 (to January 1950) is 民国三十八年, the last days of 辛亥 (after
// 1912-02-12) still 宣统三年, and a 公元 year is that of its 正月初一. A year
// alone is named as the Chinese year that begins in it (光绪十六年庚寅 for
// 1890), as tables of years pair them. None where the calendar cannot say
// it: outside its table, or a month without its day (a Gregorian month lies
// across two Chinese months).
std::optional<QString> LunarChinese(int year, int month, int day) {
  if (month == 0) {
    const std::optional<GregorianDate> newYear = ToGregorian(LunarDate{year, 1, false, 1});
    if (!newYear) return std::nullopt;
    const std::optional<ReignYear> reign = ReignOf(*newYear);
    if (!reign) return std::nullopt;
    return ReignWords(*reign) + QString::fromStdU16String(GanzhiOfYear(year));
  }
  if (day == 0) return std::nullopt;
  const std::optional<LunarDate> lunar = FromGregorian(GregorianDate{year, month, day});
  if (!lunar) return std::nullopt;
  const std::optional<GregorianDate> newYear = ToGregorian(LunarDate{lunar->year, 1, false, 1});
  const std::optional<ReignYear> reign = newYear ? ReignOf(*newYear) : std::nullopt;
  if (!reign) return std::nullopt;
  return ReignWords(*reign) + QString::fromStdU16String(GanzhiOfYear(lunar->year)) +
         QString::fromStdU16String(MonthDayText(*lunar));
}

// The English book: the Gregorian date in words, then, when the book asks for
// the Chinese calendar, the reign date as DateWords gives it to an English
// reader (Guangxu 16, month 2, day 15) in brackets; only for a whole date the
// calendar's table reaches.
const char* const kMonthNames[] = {
    QT_TRANSLATE_NOOP("LifeRecord", "一月"),   QT_TRANSLATE_NOOP("LifeRecord", "二月"),
    QT_TRANSLATE_NOOP("LifeRecord", "三月"),   QT_TRANSLATE_NOOP("LifeRecord", "四月"),
    QT_TRANSLATE_NOOP("LifeRecord", "五月"),   QT_TRANSLATE_NOOP("LifeRecord", "六月"),
    QT_TRANSLATE_NOOP("LifeRecord", "七月"),   QT_TRANSLATE_NOOP("LifeRecord", "八月"),
    QT_TRANSLATE_NOOP("LifeRecord", "九月"),   QT_TRANSLATE_NOOP("LifeRecord", "十月"),
    QT_TRANSLATE_NOOP("LifeRecord", "十一月"), QT_TRANSLATE_NOOP("LifeRecord", "十二月")};

QString OtherLanguageDate(int year, int month, int day, DateStyle style) {
  if (year < 0) return LifeRecord::tr("公元前%1年").arg(-year);
  QString text;
  if (month == 0)
    text = LifeRecord::tr("%1年").arg(year);
  else if (day == 0)
    text = LifeRecord::tr("%1年%2月")
               .arg(QString::number(year), LifeRecord::tr(kMonthNames[month - 1]));
  else
    text = LifeRecord::tr("%1年%2月%3日")
               .arg(QString::number(year), LifeRecord::tr(kMonthNames[month - 1]),
                    QString::number(day));
  if (style == DateStyle::kGregorian || day == 0) return text;
  const QString chinese = ChineseDateWords(GregorianDate{year, month, day});
  return chinese.isEmpty() ? text : LifeRecord::tr("%1（农历%2）").arg(text, chinese);
}

// 1st, 2nd, 3rd, 11th, 21st: how an English rank reads.
QString EnglishOrdinal(int n) {
  const int tens = n % 100;
  const char* suffix = "th";
  if (tens < 11 || tens > 13) {
    if (n % 10 == 1) suffix = "st";
    if (n % 10 == 2) suffix = "nd";
    if (n % 10 == 3) suffix = "rd";
  }
  return QString::number(n) + QLatin1String(suffix);
}

// The place of a son or daughter among them: 长, 次, 三...
QString Ordinal(int n) {
  if (!InChinese()) return EnglishOrdinal(n);
  if (n == 1) return QStringLiteral("长");
  if (n == 2) return QStringLiteral("次");
  return NumberText(n);
}

// A count: 二 in a Chinese book, 2 in another.
QString Count(int n) {
  return InChinese() ? NumberText(n) : QString::number(n);
}

// 一 to 九十九 as a number; 0 for anything else.
int ChineseNumberValue(QStringView text) {
  for (int n = 1; n < 100; ++n)
    if (text == QString::fromStdU16String(ChineseNumber(n))) return n;
  return 0;
}

// The place among brothers or sisters a rank's words give: 长 1, 次 2, 三 or
// 3 three; 0 for anything else.
int PlaceValue(QStringView text) {
  if (text == u"长") return 1;
  if (text == u"次") return 2;
  bool digits = false;
  const int n = text.toInt(&digits);
  if (digits && n > 0 && n < 100 && text.front().isDigit()) return n;
  return ChineseNumberValue(text);
}

// The 排行 as the template says it. 长子, 次子, 三子..., 行二, and a place alone
// (二, 长, 3) give a son's 行一, 行二, 行三 (a clan's 行 counts from one, so the
// eldest is 行一, not 长子: every son reads alike); a daughter's give 长女,
// 次女... Any other rank (老三, 十一郎) is printed as the clan wrote it.
QString RankWords(const QString& rank, Sex sex) {
  if (rank.isEmpty()) return {};
  int n = 0;
  bool son = sex == Sex::kMale;
  const QChar last = rank.back();
  if (rank.size() >= 2 && (last == u'子' || last == u'女')) {
    n = PlaceValue(QStringView(rank).chopped(1));
    son = last == u'子';
  } else if (rank.size() >= 2 && rank.front() == u'行') {
    n = PlaceValue(QStringView(rank).sliced(1));
  } else {
    n = PlaceValue(rank);
  }
  if (n == 0) return rank;
  if (son)
    return LifeRecord::tr("行%1").arg(InChinese() ? QString::fromStdU16String(ChineseNumber(n))
                                                  : EnglishOrdinal(n));
  return LifeRecord::tr("%1女").arg(Ordinal(n));
}

// A sentence of the template from its pieces, the first one's first letter
// made a capital where the language has capitals (not a name's: it stays as
// the clan wrote it).
QString Sentence(const QStringList& pieces, bool capital = true) {
  QString text;
  for (const QString& piece : pieces) {
    if (piece.isEmpty()) continue;
    if (!text.isEmpty()) text += LifeRecord::tr("，");
    text += piece;
  }
  if (text.isEmpty()) return {};
  if (capital && text.front().isLower()) text.front() = text.front().toUpper();
  return text + LifeRecord::tr("。");
}

QString NameOf(const MemberNode& member) {
  return Joined(Clean(member.name));
}

QString SurnameWords(const Spouse& spouse) {
  const QString surname = Clean(spouse.surname);
  return LifeRecord::tr("%1氏").arg(surname.isEmpty() ? QStringLiteral("某") : surname);
}

bool Complete(int year, int month, int day) {
  return year != 0 && COperationClanbook::IsValidDate(year, month, day);
}

// The date's fields as the book may print them: a month or day that is no
// part of a real date is not known.
void Tidy(int& year, int& month, int& day) {
  if (month < 1 || month > 12) month = day = 0;
  if (day != 0 && (year == 0 || !COperationClanbook::IsValidDate(year, month, day))) day = 0;
}

QString BirthPiece(int year, int month, int day, const QString& hour, DateStyle style) {
  const QString date = LifeRecord::Date(year, month, day, style);
  if (date.isEmpty()) return {};
  return LifeRecord::tr("%1生").arg(
      hour.isEmpty() ? date : LifeRecord::tr("%1%2", "a day and its hour (辰时)").arg(date, hour));
}

QString DeathPiece(int year, int month, int day, DateStyle style) {
  const QString date = LifeRecord::Date(year, month, day, style);
  return date.isEmpty() ? QString() : LifeRecord::tr("%1卒").arg(date);
}

// The 享年 in 虚岁, only where both days are whole and the calendar reaches
// them: a year alone could be one off, and the book invents nothing.
QString AgePiece(int by, int bm, int bd, int dy, int dm, int dd) {
  if (!Complete(by, bm, bd) || !Complete(dy, dm, dd)) return {};
  const std::optional<Age> age = AgeAt(GregorianDate{by, bm, bd}, GregorianDate{dy, dm, dd});
  if (!age) return {};
  return LifeRecord::tr("享年%1岁").arg(Count(age->nominalYears));
}

// The stored text without an ending the pattern adds itself (本县王家庄人 →
// 本县王家庄, 王公德昌之女 → 王公德昌).
QString WithoutEnding(QString text, QStringView ending) {
  if (text.size() > ending.size() && text.endsWith(ending)) text.chop(ending.size());
  return text;
}

QString HusbandWords(const MemberRecord& record) {
  const QString place = Clean(record.husbandPlace);
  const QString name = Joined(Clean(record.husbandName));
  if (!place.isEmpty() && !name.isEmpty())
    return LifeRecord::tr("%1%2", "a husband's place and name").arg(place, name);
  return place.isEmpty() ? name : place;
}

QString TitlePattern(SpouseTitle title) {
  switch (title) {
    case SpouseTitle::kJiPei:
      return LifeRecord::tr("继配%1");
    case SpouseTitle::kQu:
      return LifeRecord::tr("娶%1");
    case SpouseTitle::kCeShi:
      return LifeRecord::tr("侧室%1");
    default:
      return LifeRecord::tr("配%1");
  }
}

QString WifeSentence(const Spouse& spouse, bool hidden, DateStyle style) {
  QStringList pieces{TitlePattern(spouse.title).arg(LifeRecord::WifeName(spouse))};
  const QString origin = WithoutEnding(Clean(spouse.origin), u"人");
  if (!hidden && !origin.isEmpty()) pieces << LifeRecord::tr("%1人").arg(origin);
  const QString father = WithoutEnding(Clean(spouse.father), u"之女");
  if (!father.isEmpty()) pieces << LifeRecord::tr("%1之女").arg(Joined(father));
  if (!hidden) {
    int by = spouse.birthYear, bm = spouse.birthMonth, bd = spouse.birthDay;
    int dy = spouse.deathYear, dm = spouse.deathMonth, dd = spouse.deathDay;
    Tidy(by, bm, bd);
    Tidy(dy, dm, dd);
    pieces << BirthPiece(by, bm, bd, {}, style);
    if (spouse.alive == 0) {
      pieces << DeathPiece(dy, dm, dd, style);
      pieces << AgePiece(by, bm, bd, dy, dm, dd);
    }
    const QString burial = Clean(spouse.burial);
    if (!burial.isEmpty()) pieces << LifeRecord::tr("葬%1").arg(burial);
  }
  return Sentence(pieces);
}

bool IsDaughter(const MemberNode& member) {
  return member.extra.Record().sex == Sex::kFemale;
}

bool Before(const MemberNode& a, const MemberNode& b) {
  return a.birthYear != 0 && b.birthYear != 0 &&
         COperationClanbook::CompareDates(a.birthYear, a.birthMonth, a.birthDay, b.birthYear,
                                          b.birthMonth, b.birthDay) < 0;
}

// His sons: those in the tree below him, and those he gave out, each of
// these at his place by birth among his brothers (after them when his
// birth or theirs is not known).
QStringList SonsWords(const MemberNode& member, const BookContext& context) {
  std::vector<std::pair<const MemberNode*, bool>> sons;  // son, given out
  for (const MemberNode* child = member.firstChild; child; child = child->nextSibling)
    if (!IsDaughter(*child)) sons.emplace_back(child, false);
  for (const MemberNode* given : context.GivenOut(member)) {
    auto at = std::find_if(sons.begin(), sons.end(), [&](const auto& son) {
      return !son.second && Before(*given, *son.first);
    });
    sons.emplace(at, given, true);
  }
  QStringList words;
  for (const auto& [son, givenOut] : sons) {
    const MemberRecord& record = son->extra.Record();
    QString word = NameOf(*son);
    if (givenOut) {
      if (son->parent) word += LifeRecord::tr("（出继%1）").arg(NameOf(*son->parent));
    } else if (!record.birthFather.empty()) {
      word = LifeRecord::tr("嗣子%1（%2之子）").arg(word, Joined(Clean(record.birthFather)));
    }
    if (!givenOut && !record.secondFather.empty())
      word += LifeRecord::tr("（兼祧%1）").arg(Joined(Clean(record.secondFather)));
    words << word;
  }
  return words;
}

QString SonsSentence(const MemberNode& member, const BookContext& context) {
  const QStringList sons = SonsWords(member, context);
  if (sons.isEmpty()) return {};
  if (sons.size() == 1) return Sentence({LifeRecord::tr("子一：%1").arg(sons.front())});
  return Sentence(
      {LifeRecord::tr("子%1：%2")
           .arg(Count(static_cast<int>(sons.size())), sons.join(LifeRecord::tr("、")))});
}

// Daughters are named by whom they married (适张家村张某), as clan books
// name them; an unmarried daughter by her own name.
QString DaughtersSentence(const MemberNode& member) {
  std::vector<const MemberNode*> daughters;
  for (const MemberNode* child = member.firstChild; child; child = child->nextSibling)
    if (IsDaughter(*child)) daughters.push_back(child);
  if (daughters.empty()) return {};
  if (daughters.size() == 1) {
    const QString husband = HusbandWords(daughters.front()->extra.Record());
    if (!husband.isEmpty()) return Sentence({LifeRecord::tr("女一，适%1").arg(husband)});
    return Sentence({LifeRecord::tr("女一：%1").arg(NameOf(*daughters.front()))});
  }
  QStringList words;
  int n = 0;
  for (const MemberNode* daughter : daughters) {
    const QString husband = HusbandWords(daughter->extra.Record());
    if (!husband.isEmpty())
      words << LifeRecord::tr("%1适%2").arg(Ordinal(++n), husband);
    else
      words << LifeRecord::tr("%1%2", "a daughter's place among her sisters, then her name")
                   .arg(Ordinal(++n), NameOf(*daughter));
  }
  return Sentence(
      {LifeRecord::tr("女%1：%2")
           .arg(Count(static_cast<int>(daughters.size())), words.join(LifeRecord::tr("，")))});
}

// A year beside a name in a table: the 干支 when the book keeps the Chinese
// calendar (of the Chinese year of the day when the day is known, else of the
// year that begins in it), else the year's digits.
QString ShortYear(int year, int month, int day, DateStyle style) {
  if (year == 0) return {};
  if (!InChinese()) return QString::number(year);
  if (style != DateStyle::kGregorian && year > 0) {
    Tidy(year, month, day);
    int chineseYear = year;
    if (day != 0) {
      const std::optional<LunarDate> lunar = FromGregorian(GregorianDate{year, month, day});
      if (lunar) chineseYear = lunar->year;
    }
    if (chineseYear >= FirstChineseYear() && chineseYear <= LastChineseYear())
      return QString::fromStdU16String(GanzhiOfYear(chineseYear));
  }
  return year < 0 ? GregorianChinese(year, 0, 0) : ChineseDigits(QString::number(year));
}

}  // namespace

QString LifeRecord::Date(int year, int month, int day, DateStyle style) {
  if (year == 0) return {};
  Tidy(year, month, day);
  if (!InChinese()) return OtherLanguageDate(year, month, day, style);
  const QString gregorian = GregorianChinese(year, month, day);
  if (style == DateStyle::kGregorian || year < 0) return gregorian;
  const std::optional<QString> lunar = LunarChinese(year, month, day);
  if (!lunar) return gregorian;
  if (style == DateStyle::kLunar) return *lunar;
  return *lunar + QStringLiteral("（公历") + gregorian + u'）';
}

QString LifeRecord::WifeName(const Spouse& spouse) {
  const QString given = Clean(spouse.givenName);
  const QString surname = SurnameWords(spouse);
  if (given.isEmpty()) return Joined(surname);
  return Joined(tr("%1（%2）", "a wife's surname and given name").arg(surname, given));
}

QString LifeRecord::Paragraph(const MemberNode& member, const BookContext& context) {
  const BookOptions& options = context.Options();
  const MemberRecord& record = member.extra.Record();
  const bool hidden = options.privateLiving && member.alive != 0;
  QString text;

  // Who he is.
  QStringList pieces{NameOf(member)};
  if (const QString courtesy = Clean(record.courtesyName); !courtesy.isEmpty())
    pieces << tr("字%1").arg(Joined(courtesy));
  if (const QString art = Clean(record.artName); !art.isEmpty())
    pieces << tr("号%1").arg(Joined(art));
  pieces << RankWords(Clean(record.rank), record.sex);
  if (!record.birthFather.empty()) pieces << tr("生父%1").arg(Joined(Clean(record.birthFather)));
  if (!record.secondFather.empty()) pieces << tr("兼祧%1").arg(Joined(Clean(record.secondFather)));
  pieces << Clean(record.office);
  if (record.sex == Sex::kFemale) {
    const QString husband = HusbandWords(record);
    if (!husband.isEmpty()) pieces << tr("适%1").arg(husband);
  }
  text += Sentence(pieces, false);

  if (!hidden) {
    int by = member.birthYear, bm = member.birthMonth, bd = member.birthDay;
    int dy = member.deathYear, dm = member.deathMonth, dd = member.deathDay;
    Tidy(by, bm, bd);
    Tidy(dy, dm, dd);
    QStringList life{BirthPiece(by, bm, bd, Clean(record.birthHour), options.dates)};
    if (member.alive == 0) {
      life << DeathPiece(dy, dm, dd, options.dates);
      life << AgePiece(by, bm, bd, dy, dm, dd);
    }
    text += Sentence(life);

    const QString place = Clean(record.burialPlace);
    const QString facing = Clean(record.burialFacing);
    if (!place.isEmpty())
      text +=
          Sentence({facing.isEmpty() ? tr("葬%1").arg(place) : tr("葬%1，%2").arg(place, facing)});
    else if (!facing.isEmpty())
      text += Sentence({tr("墓%1").arg(facing)});
  }

  for (const Spouse& spouse : record.spouses)
    text +=
        WifeSentence(spouse, hidden || (options.privateLiving && spouse.alive != 0), options.dates);
  text += SonsSentence(member, context);
  text += DaughtersSentence(member);
  // The pattern of a sentence's end carries the space a language puts after
  // it (". "), so his own text follows as the next sentence.
  return (text + Clean(record.biography)).trimmed();
}

QString LifeRecord::Short(const MemberNode& member, const BookContext& context) {
  const BookOptions& options = context.Options();
  const MemberRecord& record = member.extra.Record();
  QStringList pieces;
  if (const QString courtesy = Clean(record.courtesyName); !courtesy.isEmpty())
    pieces << tr("字%1", "beside a name in a table").arg(Joined(courtesy));
  if (!(options.privateLiving && member.alive != 0)) {
    const QString born =
        ShortYear(member.birthYear, member.birthMonth, member.birthDay, options.dates);
    const QString died = member.alive == 0 ? ShortYear(member.deathYear, member.deathMonth,
                                                       member.deathDay, options.dates)
                                           : QString();
    if (!born.isEmpty() && !died.isEmpty())
      pieces << tr("%1—%2", "years of birth and death in a table").arg(born, died);
    else if (!born.isEmpty())
      pieces << tr("%1生", "beside a name in a table").arg(born);
    else if (!died.isEmpty())
      pieces << tr("%1卒", "beside a name in a table").arg(died);
  }
  QStringList wives;
  for (const Spouse& spouse : record.spouses) wives << Joined(SurnameWords(spouse));
  if (!wives.isEmpty()) pieces << tr("配%1", "beside a name in a table").arg(wives.join(tr("、")));
  return pieces.join(tr("，"));
}

}  // namespace book
