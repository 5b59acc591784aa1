// Chinese names in GEDCOM: which names are Chinese, and where the surname ends.
#include "formats/gedcom/GedcomDetail.h"

namespace gedcom::detail {

// ---- Names ----------------------------------------------------------------

namespace {

bool IsChineseCodePoint(std::uint32_t cp) {
  return (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
         (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x3FFFF) || cp == 0x3007;
}

// The code point at `i` and the number of code units it takes.
std::uint32_t CodePointAt(std::u16string_view s, std::size_t i, std::size_t& units) {
  const std::uint32_t u = s[i];
  if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
    units = 2;
    return 0x10000 + ((u - 0xD800) << 10) + (static_cast<std::uint32_t>(s[i + 1]) - 0xDC00);
  }
  units = 1;
  return u;
}

// Two-character surnames, simplified and traditional forms.
constexpr std::u16string_view kCompoundSurnames[] = {
    u"欧阳", u"歐陽", u"司马", u"司馬", u"诸葛", u"諸葛",     u"上官",    u"东方", u"東方", u"皇甫",
    u"尉迟", u"尉遲", u"公孙", u"公孫", u"慕容", u"长孙",     u"長孫",    u"夏侯", u"轩辕", u"軒轅",
    u"令狐", u"宇文", u"司徒", u"司空", u"端木", u"独孤",     u"獨孤",    u"南宫", u"南宮", u"西门",
    u"西門", u"百里", u"呼延", u"钟离", u"鍾離", u"鐘離",     u"万俟",    u"萬俟", u"澹台", u"澹臺",
    u"公冶", u"太史", u"申屠", u"闻人", u"聞人", u"赫连",     u"赫連",    u"濮阳", u"濮陽", u"淳于",
    u"单于", u"單于", u"仲孙", u"仲孫", u"宗政", u"公羊",     u"羊舌",    u"微生", u"梁丘", u"左丘",
    u"东郭", u"東郭", u"拓跋", u"第五", u"谷梁", u"穀梁",     u"乐正",    u"樂正", u"巫马", u"巫馬",
    u"亓官", u"司寇", u"子车", u"子車", u"颛孙", u"顓孫",     u"壤驷",    u"壤駟", u"公良", u"漆雕",
    u"宰父", u"段干", u"东门", u"東門", u"公西", u"夹谷",     u"夾谷",    u"鲜于", u"鮮于", u"闾丘",
    u"閭丘", u"锺离", u"公户", u"公戶", u"公玉", u"公仪",     u"公儀",    u"梁丘", u"公仲", u"公上",
    u"公门", u"公門", u"公山", u"公坚", u"公堅", u"左人",     u"第一",    u"叱干", u"叱乾", u"贺兰",
    u"賀蘭", u"长孙", u"呼延", u"纳兰", u"納蘭", u"爱新觉罗", u"愛新覺羅"};

}  // namespace

bool IsChineseName(std::u16string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size();) {
    std::size_t units = 0;
    if (!IsChineseCodePoint(CodePointAt(name, i, units))) return false;
    i += units;
  }
  return true;
}

std::size_t SurnameLength(std::u16string_view name, std::u16string_view clanSurname) {
  if (!IsChineseName(name)) return 0;
  std::size_t firstUnits = 0;
  CodePointAt(name, 0, firstUnits);
  if (firstUnits >= name.size()) return 0;  // one character: a given name alone
  if (!clanSurname.empty() && clanSurname.size() < name.size() &&
      name.substr(0, clanSurname.size()) == clanSurname)
    return clanSurname.size();
  for (std::u16string_view compound : kCompoundSurnames)
    if (compound.size() < name.size() && name.substr(0, compound.size()) == compound)
      return compound.size();
  return firstUnits;
}

}  // namespace gedcom::detail
