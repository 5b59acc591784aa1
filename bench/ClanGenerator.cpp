#include "ClanGenerator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace clanbench {
namespace {

// Births are drawn 18 to 45 years after the father's; none lies after this
// year unless the father himself was born later (then the child comes a day
// after him, which keeps every child strictly younger than his father).
constexpr std::int32_t kLatestYear = 2023;

// Common single-character surnames, all distinct.
constexpr std::u32string_view kSurnames =
    U"赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜戚谢邹喻柏水窦章云苏潘葛"
    U"奚范彭郎鲁韦昌马苗凤花方俞任袁柳酆鲍史唐费廉岑薛雷贺倪汤滕殷罗毕郝邬安常乐于时傅皮卞齐康"
    U"伍余元卜顾孟平黄穆萧尹邵";

// Characters of given names, all distinct. Two lie outside the Basic
// Multilingual Plane, as rare characters in real names do, so that surrogate
// pairs travel through every benchmark.
constexpr std::u32string_view kGivenChars =
    U"伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂华建国文志红玉春生德荣海林晓云成辉玲凤新光"
    U"俊峰宇浩然子轩欣怡梓涵雨泽博睿思源嘉诚佳琪鑫淑慧宏斌丹亮鹏飞婷雪梅晨阳世家永福寿康宁安瑞祥"
    U"和美振兴继承宗祖仁义礼智信忠孝廉贤良恭俭让朝耀庆昌盛隆启元开泰乾坤松柏竹菊荷莲清正发达"
    U"锦绣江河湖岳崇嵩峻翔鸿鹤麟凯旭"
    U"𠮷𩽾";

constexpr std::u32string_view kProvinces = U"苏浙皖赣闽粤湘鄂豫鲁冀晋陕川滇黔桂琼";
constexpr std::u32string_view kPlaces[] = {
    U"无锡", U"苏州", U"绍兴", U"宁波", U"徽州", U"婺源", U"泉州", U"潮州", U"长沙", U"襄阳",
    U"洛阳", U"曲阜", U"保定", U"平遥", U"汉中", U"成都", U"大理", U"遵义", U"桂林", U"琼山",
};
constexpr std::u32string_view kStreets[] = {U"东街", U"西村", U"南巷", U"北里", U"老宅", U"祠堂路"};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
  }
}

// The code points of a member's name: a surname, then the given name as the
// digits of serial / |surnames| in base |given chars|, at least two of them.
// The surname fixes the first code point and the digits (without leading zero
// beyond two) the rest, so the mapping is one-to-one.
template <class Sink>
void ForEachNameChar(std::uint64_t serial, Sink&& sink) {
  sink(kSurnames[serial % kSurnames.size()]);
  std::uint64_t rest = serial / kSurnames.size();
  char32_t digits[16];
  int count = 0;
  do {
    digits[count++] = kGivenChars[rest % kGivenChars.size()];
    rest /= kGivenChars.size();
  } while (rest != 0 || count < 2);
  while (count > 0) sink(digits[--count]);
}

void CheckTables() {
  static const bool checked = [] {
    for (std::u32string_view table : {kSurnames, kGivenChars, kProvinces}) {
      std::unordered_set<char32_t> seen(table.begin(), table.end());
      if (seen.size() != table.size()) throw std::logic_error("name table holds a duplicate");
    }
    return true;
  }();
  (void)checked;
}

// splitmix64: small, fast and the same everywhere (the standard distributions
// are not, which would make the files differ between libraries).
struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }
};

std::uint64_t Hash(std::uint64_t seed, std::uint64_t id) {
  Random r{seed ^ (id * 0xD1B54A32D192ED03ULL)};
  return r.Next();
}

bool IsLeap(std::int32_t y) {
  return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

std::int32_t DaysIn(std::int32_t y, std::int32_t m) {
  static constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

struct Date {
  std::int32_t year;
  std::int8_t month;
  std::int8_t day;
  auto operator<=>(const Date&) const = default;
};

Date NextDay(Date d) {
  if (d.day < DaysIn(d.year, d.month)) {
    ++d.day;
  } else if (d.month < 12) {
    ++d.month;
    d.day = 1;
  } else {
    ++d.year;
    d.month = 1;
    d.day = 1;
  }
  return d;
}

Date RandomDayOfYear(std::int32_t year, Random& rng) {
  auto month = static_cast<std::int32_t>(1 + rng.Below(12));
  auto day =
      static_cast<std::int32_t>(1 + rng.Below(static_cast<std::uint32_t>(DaysIn(year, month))));
  return Date{year, static_cast<std::int8_t>(month), static_cast<std::int8_t>(day)};
}

Date ChildBirth(const Date& father, Random& rng) {
  std::int64_t year = std::int64_t{father.year} + 18 + rng.Below(28);
  year = std::min<std::int64_t>(year, kLatestYear);
  Date child =
      RandomDayOfYear(static_cast<std::int32_t>(std::max<std::int64_t>(year, INT32_MIN)), rng);
  return child > father ? child : NextDay(father);
}

// Members per generation. A clan book grows for the first three fifths of its
// generations and then holds its breadth, as lines die out about as fast as
// new ones branch off.
std::vector<std::int64_t> LevelSizes(const ClanSpec& spec) {
  const std::int64_t n = spec.members;
  switch (spec.shape) {
    case ClanShape::kWide:
      return n > 1 ? std::vector<std::int64_t>{1, n - 1} : std::vector<std::int64_t>{1};
    case ClanShape::kDeep:
      return std::vector<std::int64_t>(static_cast<std::size_t>(n), 1);
    case ClanShape::kBalanced:
      break;
  }
  const std::int32_t g = spec.generations;
  if (g < 1 || n < g || (g == 1 && n != 1))
    throw std::invalid_argument("need at least one member per generation");
  const std::int32_t rampEnd = std::max(1, (g * 3) / 5);
  // Growth per generation during the ramp: reaches roughly the breadth that
  // spreads the members evenly over the rest.
  const double plateau = std::max(1.0, static_cast<double>(n) / (g - rampEnd + 1 + rampEnd / 3.0));
  const double growth = rampEnd > 1 ? std::pow(plateau, 1.0 / (rampEnd - 1)) : 1.0;
  std::vector<double> weights(static_cast<std::size_t>(g));
  double total = 0;
  for (std::int32_t k = 0; k < g; ++k) {
    weights[static_cast<std::size_t>(k)] = std::pow(growth, std::min(k, rampEnd - 1));
    total += weights[static_cast<std::size_t>(k)];
  }
  std::vector<std::int64_t> sizes(static_cast<std::size_t>(g));
  std::int64_t sum = 0;
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    sizes[k] = k == 0
                   ? 1
                   : std::max<std::int64_t>(
                         1, static_cast<std::int64_t>(static_cast<double>(n) * weights[k] / total));
    sum += sizes[k];
  }
  // Put the rounding difference on the broadest generations.
  for (std::size_t k = sizes.size() - 1; sum != n; k = k == 1 ? sizes.size() - 1 : k - 1) {
    if (sum < n) {
      ++sizes[k];
      ++sum;
    } else if (sizes[k] > 1) {
      --sizes[k];
      --sum;
    }
  }
  return sizes;
}

class Output {
public:
  explicit Output(std::FILE* file) : m_file(file) { m_buffer.reserve(kChunk + 1024); }
  std::string& Buffer() { return m_buffer; }
  bool MaybeFlush() { return m_buffer.size() >= kChunk ? Flush() : true; }
  bool Flush() {
    if (!m_buffer.empty() &&
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
      return false;
    m_bytes += m_buffer.size();
    m_buffer.clear();
    return true;
  }
  std::uint64_t Bytes() const { return m_bytes + m_buffer.size(); }

private:
  static constexpr std::size_t kChunk = 1 << 20;
  std::FILE* m_file;
  std::string m_buffer;
  std::uint64_t m_bytes = 0;
};

void AppendInt(std::string& out, std::int64_t value) {
  char digits[24];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  (void)ec;
  out.append(digits, end);
}

void AppendName(std::string& out, std::uint64_t serial) {
  ForEachNameChar(serial, [&](char32_t c) { AppendUtf8(out, c); });
}

void AppendText(std::string& out, std::u32string_view text) {
  for (char32_t c : text) AppendUtf8(out, c);
}

}  // namespace

ClanSpec Balanced(std::int64_t members, std::int32_t generations) {
  return ClanSpec{ClanShape::kBalanced, members, generations};
}
ClanSpec WideFamily(std::int64_t children) {
  return ClanSpec{ClanShape::kWide, children + 1, children > 0 ? 2 : 1};
}
ClanSpec DeepLine(std::int64_t generations) {
  return ClanSpec{ClanShape::kDeep, generations, static_cast<std::int32_t>(generations)};
}

std::u16string MemberName(std::uint64_t serial) {
  std::u16string name;
  ForEachNameChar(serial, [&](char32_t c) { AppendUtf16(name, c); });
  return name;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    AppendUtf8(out, c);
  }
  return out;
}

bool WriteClan(const ClanSpec& spec, const std::filesystem::path& file, ClanSummary& summary,
               std::string& error) {
  CheckTables();
  summary = ClanSummary{};
  if (spec.members < 1 || spec.members > INT32_MAX) {
    error = "the number of members must lie between 1 and 2147483647";
    return false;
  }
  std::vector<std::int64_t> sizes;
  try {
    sizes = LevelSizes(spec);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  const auto n = static_cast<std::size_t>(spec.members);
  Random rng{spec.seed};

  // Members are numbered generation by generation; each picks a father at
  // random in the generation above, so every generation is reached.
  std::vector<std::uint32_t> father(n, 0);
  std::vector<Date> birth(n);
  const std::int32_t levels = static_cast<std::int32_t>(sizes.size());
  const std::int64_t rootYear =
      spec.shape == ClanShape::kWide ? 1900 : 1960 - (std::int64_t{315} * (levels - 1)) / 10;
  birth[0] = RandomDayOfYear(
      static_cast<std::int32_t>(std::max<std::int64_t>(rootYear, -2000000000)), rng);
  std::size_t levelStart = 0;
  for (std::size_t k = 1; k < sizes.size(); ++k) {
    const std::size_t previousStart = levelStart;
    const auto previousSize = static_cast<std::uint32_t>(sizes[k - 1]);
    levelStart += static_cast<std::size_t>(sizes[k - 1]);
    for (std::size_t j = levelStart; j < levelStart + static_cast<std::size_t>(sizes[k]); ++j) {
      father[j] = static_cast<std::uint32_t>(previousStart + rng.Below(previousSize));
      birth[j] = ChildBirth(birth[father[j]], rng);
    }
  }

  // Children lists in birth order, as a saved genealogy holds them.
  std::vector<std::uint32_t> childStart(n + 1, 0);
  for (std::size_t j = 1; j < n; ++j) ++childStart[father[j] + 1];
  for (std::size_t i = 0; i < n; ++i) {
    summary.maxChildren = std::max<std::int64_t>(summary.maxChildren, childStart[i + 1]);
    childStart[i + 1] += childStart[i];
  }
  std::vector<std::uint32_t> children(n > 0 ? n - 1 : 0);
  {
    std::vector<std::uint32_t> fill(childStart.begin(), childStart.end() - 1);
    for (std::size_t j = 1; j < n; ++j) children[fill[father[j]]++] = static_cast<std::uint32_t>(j);
  }
  for (std::size_t i = 0; i < n; ++i) {
    std::sort(children.begin() + childStart[i], children.begin() + childStart[i + 1],
              [&](std::uint32_t a, std::uint32_t b) {
                return birth[a] != birth[b] ? birth[a] < birth[b] : a < b;
              });
  }

  std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(file.c_str(), "wb"),
                                                         &std::fclose);
  if (!stream) {
    error = "cannot create " + file.string();
    return false;
  }
  Output out(stream.get());
  std::string& buf = out.Buffer();

  // Pre-order with an explicit stack: a line of a million generations is as
  // safe to write as a balanced book.
  std::vector<std::uint32_t> serial(n, 0);  // place in pre-order, which names the member
  std::vector<std::uint32_t> stack;
  stack.reserve(1024);
  stack.push_back(0);
  std::uint32_t next = 0;
  std::uint32_t cachedFather = UINT32_MAX;
  std::string fatherName;
  while (!stack.empty()) {
    const std::uint32_t id = stack.back();
    stack.pop_back();
    serial[id] = next++;
    const std::uint64_t h = Hash(spec.seed, id);
    const Date& b = birth[id];

    AppendName(buf, serial[id]);
    buf.push_back(' ');
    AppendInt(buf, b.year);
    buf.push_back(' ');
    AppendInt(buf, b.month);
    buf.push_back(' ');
    AppendInt(buf, b.day);
    const bool married = (h >> 8) % 100 < 65;
    buf += married ? " 1 " : " 0 ";
    if ((h >> 16) % 100 < 20) {
      buf += "end";
      ++summary.withoutAddress;
    } else {
      AppendUtf8(buf, kProvinces[(h >> 24) % kProvinces.size()]);
      AppendText(buf, kPlaces[(h >> 32) % std::size(kPlaces)]);
      AppendText(buf, kStreets[(h >> 40) % std::size(kStreets)]);
      if ((h >> 48) % 4 != 0) {
        AppendInt(buf, static_cast<std::int64_t>((h >> 50) % 300 + 1));
        AppendUtf8(buf, U'号');
      }
    }
    const bool deceased = b.year < 1930 || (h >> 56) % 100 < 12;
    if (deceased) {
      Random death{h};
      Date d;
      if (death.Below(50000) == 0) {
        d = b;  // died on the day of birth: a valid record
      } else {
        const std::int64_t year = std::int64_t{b.year} + 1 + death.Below(95);
        d = RandomDayOfYear(static_cast<std::int32_t>(std::min<std::int64_t>(year, INT32_MAX)),
                            death);
      }
      buf += " 0 ";
      AppendInt(buf, d.year);
      buf.push_back(' ');
      AppendInt(buf, d.month);
      buf.push_back(' ');
      AppendInt(buf, d.day);
      ++summary.deceased;
    } else {
      buf += " 1";
    }
    buf.push_back(' ');
    if (id == 0) {
      buf += "-1";
    } else {
      if (father[id] != cachedFather) {
        cachedFather = father[id];
        fatherName.clear();
        AppendName(fatherName, serial[cachedFather]);
      }
      buf += fatherName;
    }
    buf += "\r\n";
    summary.married += married ? 1 : 0;
    if (!out.MaybeFlush()) {
      error = "cannot write " + file.string();
      return false;
    }
    if (next == n) {
      summary.lastName = MemberName(serial[id]);
      summary.lastBirthMonth = b.month;
      summary.lastBirthDay = b.day;
    }
    for (std::uint32_t c = childStart[id + 1]; c > childStart[id]; --c)
      stack.push_back(children[c - 1]);
  }
  buf += "end 1999 12 2 1 end 1 end";
  summary.bytes = out.Bytes();
  if (!out.Flush() || std::fflush(stream.get()) != 0 || std::fclose(stream.release()) != 0) {
    error = "cannot write " + file.string();
    return false;
  }
  summary.members = spec.members;
  summary.generations = levels;
  summary.rootName = MemberName(0);
  return true;
}

std::filesystem::path BenchDir() {
  const char* dir = std::getenv("CLANBOOK_BENCH_DIR");
  std::filesystem::path path = dir != nullptr && *dir != '\0'
                                   ? std::filesystem::path(dir)
                                   : std::filesystem::path("/tmp/clanbook-bench");
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace clanbench
