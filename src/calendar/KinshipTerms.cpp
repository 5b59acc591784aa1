// The words follow common mainland usage (普通话), as docs/kinship.md lays
// out; the older names of the far ancestors and descendants (天祖 ... 耳孙)
// are the ones the 尔雅 line of tables gives, and past them the count of
// generations takes over (十二世祖, 十世孙).
#include "calendar/KinshipTerms.h"

#include <array>

namespace {

using Text = std::u16string;

// 4 digits as read within a number; `leading`: no higher part precedes,
// so ten to nineteen start with 十 rather than 一十.
Text Section(int n, bool leading) {
  static constexpr char16_t kDigits[] = u"零一二三四五六七八九";
  static constexpr std::array<const char16_t*, 4> kUnits = {u"千", u"百", u"十", u""};
  const std::array<int, 4> digits = {n / 1000, n / 100 % 10, n / 10 % 10, n % 10};
  Text text;
  bool started = false;
  bool zero = false;
  for (std::size_t pos = 0; pos < 4; ++pos) {
    const int digit = digits[pos];
    if (digit == 0) {
      zero = started;
      continue;
    }
    if (zero) text += u'零';
    zero = false;
    if (!(pos == 2 && digit == 1 && !started && leading)) text += kDigits[digit];
    text += kUnits[pos];
    started = true;
  }
  return text;
}

// The names of the ancestors and descendants 1 to 9 generations away; index 0 unused.
constexpr std::array<const char16_t*, 10> kAncestorMale = {
    u"",       u"父亲",   u"祖父",   u"曾祖父", u"高祖父",
    u"天祖父", u"烈祖父", u"太祖父", u"远祖父", u"鼻祖"};
constexpr std::array<const char16_t*, 10> kAncestorFemale = {
    u"",       u"母亲",   u"祖母",   u"曾祖母", u"高祖母",
    u"天祖母", u"烈祖母", u"太祖母", u"远祖母", u"鼻祖母"};
constexpr std::array<const char16_t*, 10> kDescendant = {
    u"", u"儿", u"孙", u"曾孙", u"玄孙", u"来孙", u"晜孙", u"仍孙", u"云孙", u"耳孙"};
// What stands before 伯祖父 / 侄孙 at a distance of 2 to 8 (resp. 9)
// generations: the ancestor's and the descendant's prefix.
constexpr std::array<const char16_t*, 9> kElderPrefix = {u"",   u"",   u"",   u"曾", u"高",
                                                         u"天", u"烈", u"太", u"远"};
constexpr std::array<const char16_t*, 10> kYoungerPrefix = {u"",   u"",   u"",   u"曾", u"玄",
                                                            u"来", u"晜", u"仍", u"云", u"耳"};

Text Generations(int n) {
  return ChineseNumber(n) + u"世";
}

Text AncestorTerm(int up, bool female) {
  if (up < static_cast<int>(kAncestorMale.size()))
    return female ? kAncestorFemale[static_cast<std::size_t>(up)]
                  : kAncestorMale[static_cast<std::size_t>(up)];
  return Generations(up) + (female ? u"祖母" : u"祖");
}

Text DescendantTerm(int down, KinSex sex, bool wife) {
  if (down == 1) return wife ? u"儿媳" : sex == KinSex::Female ? u"女儿" : u"儿子";
  Text stem = down < static_cast<int>(kDescendant.size())
                  ? Text(kDescendant[static_cast<std::size_t>(down)])
                  : Generations(down) + u"孙";
  if (wife) return stem + u"媳";
  if (sex == KinSex::Female) return stem + u"女";
  return down == 2 ? stem + u"子" : stem;
}

// Brothers' and cousins' lines: 堂 for first cousins; of the same
// generation 从堂 for second cousins; everybody further is 族.
Text CollateralPrefix(int degree, bool sameGeneration) {
  if (degree <= 1) return u"";
  if (degree == 2) return u"堂";
  if (degree == 3 && sameGeneration) return u"从堂";
  return u"族";
}

Text SameGeneration(const Kinship& k) {
  const int degree = k.Degree();
  const bool female = k.sex == KinSex::Female;
  if (degree == 1) {
    if (k.wife) return k.elder ? u"嫂子" : u"弟媳";
    if (female) return k.elder ? u"姐姐" : u"妹妹";
    return k.elder ? u"哥哥" : u"弟弟";
  }
  const Text prefix = CollateralPrefix(degree, true);
  if (k.wife) return prefix + (k.elder ? u"嫂" : u"弟媳");
  if (female) return prefix + (k.elder ? u"姐" : u"妹");
  if (degree == 2) return prefix + (k.elder ? u"哥" : u"弟");
  return prefix + (k.elder ? u"兄" : u"弟");
}

Text ElderGeneration(const Kinship& k, int above) {
  const int degree = k.Degree();
  const Text prefix = CollateralPrefix(degree, false);
  const bool female = k.sex == KinSex::Female && !k.wife;
  if (above == 1) {
    if (degree == 1) {
      if (k.wife) return k.elder ? u"伯母" : u"婶婶";
      if (female) return u"姑妈";
      return k.elder ? u"伯父" : u"叔叔";
    }
    if (k.wife) return prefix + (k.elder ? u"伯母" : u"婶");
    if (female) return prefix + u"姑";
    return prefix + (k.elder ? u"伯" : u"叔");
  }
  // The grandfather's brothers and beyond: 伯祖父, 曾叔祖父, 十世伯祖.
  const bool named = above < static_cast<int>(kElderPrefix.size());
  const Text distance =
      named ? Text(kElderPrefix[static_cast<std::size_t>(above)]) : Generations(above);
  const Text branch = female ? u"姑" : k.elder ? u"伯" : u"叔";
  const Text end = (female || k.wife) ? u"祖母" : named ? u"祖父" : u"祖";
  return prefix + distance + branch + end;
}

Text YoungerGeneration(const Kinship& k, int below) {
  const int degree = k.Degree();
  const Text prefix = CollateralPrefix(degree, false);
  const bool female = k.sex == KinSex::Female && !k.wife;
  Text stem;
  if (below == 1) {
    stem = u"侄";
    if (degree == 1 && !female && !k.wife) return u"侄子";
  } else if (below < static_cast<int>(kYoungerPrefix.size())) {
    stem = Text(kYoungerPrefix[static_cast<std::size_t>(below)]) + u"侄孙";
  } else {
    stem = Generations(below) + u"侄孙";
  }
  if (k.wife) return prefix + stem + u"媳";
  if (female) return prefix + stem + u"女";
  return prefix + stem;
}

}  // namespace

std::u16string ChineseNumber(std::int64_t number) {
  if (number <= 0) return u"零";
  static constexpr std::array<const char16_t*, 5> kGroups = {u"", u"万", u"亿", u"万亿", u"亿亿"};
  std::array<int, 5> sections{};
  for (std::size_t i = 0; i < sections.size(); ++i) {
    sections[i] = static_cast<int>(number % 10000);
    number /= 10000;
  }
  Text text;
  bool zero = false;
  for (std::size_t i = sections.size(); i-- > 0;) {
    const int section = sections[i];
    if (section == 0) {
      zero = !text.empty();
      continue;
    }
    if (!text.empty() && (zero || section < 1000)) text += u'零';
    zero = false;
    text += Section(section, text.empty()) + kGroups[i];
  }
  return text;
}

std::u16string KinshipTerm(const Kinship& k) {
  // A wife calls her husband's kin what he calls them (随夫称), so only B's
  // sex and place change the word; A's own are not needed.
  switch (k.kind) {
    case KinKind::Unrelated:
      return {};
    case KinKind::Self:
      return u"本人";
    case KinKind::Husband:
      return u"丈夫";
    case KinKind::Wife:
      return u"妻子";
    case KinKind::Ancestor:
      return AncestorTerm(k.up, k.sex == KinSex::Female);
    case KinKind::Descendant:
      return DescendantTerm(k.down, k.sex, k.wife);
    case KinKind::Collateral:
      break;
  }
  const int above = k.GenerationsAbove();
  if (above == 0) return SameGeneration(k);
  if (above > 0) return ElderGeneration(k, above);
  return YoungerGeneration(k, -above);
}
