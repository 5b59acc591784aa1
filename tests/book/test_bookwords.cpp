// The numbers in Chinese words, the strokes of characters and the order of
// the name index.
#include "book/LifeRecord.h"

#include <gtest/gtest.h>

#include <ios>
#include <utility>
#include <vector>

namespace {

TEST(BookWordsTest, NumbersInChineseWords) {
  const std::vector<std::pair<int, const char16_t*>> rows = {
      {0, u"〇"},
      {1, u"一"},
      {10, u"十"},
      {15, u"十五"},
      {21, u"二十一"},
      {99, u"九十九"},
      {100, u"一百"},
      {105, u"一百〇五"},
      {110, u"一百一十"},
      {999, u"九百九十九"},
      {1000, u"一千"},
      {1005, u"一千〇五"},
      {1050, u"一千〇五十"},
      {1200, u"一千二百"},
      {10000, u"一万"},
      {10005, u"一万〇五"},
      {10500, u"一万〇五百"},
      {12345, u"一万二千三百四十五"},
      {100000, u"十万"},
      {110000, u"十一万"},
      {1000000, u"一百万"},
      {100000005, u"一亿〇五"},
  };
  for (const auto& [number, text] : rows)
    EXPECT_EQ(book::NumberText(number), QString::fromStdU16String(text)) << number;
  EXPECT_EQ(book::ChineseDigits(QStringLiteral("1949")), QStringLiteral("一九四九"));
  EXPECT_EQ(book::ChineseDigits(QStringLiteral("2005年")), QStringLiteral("二〇〇五年"));
  EXPECT_EQ(book::ChineseDigits(QStringLiteral("第１０页 A")), QStringLiteral("第一〇页 A"));
}

TEST(BookWordsTest, StrokesFromUnihan) {
  const std::vector<std::pair<char32_t, int>> rows = {
      {U'一', 1}, {U'王', 4}, {U'张', 7},     {U'張', 11},        {U'傳', 13}, {U'龍', 16},
      {U'赵', 9}, {U'㐀', 5}, {U'\uFAFF', 0}, {U'\U00020000', 2}, {U'A', 0},   {U'，', 0},
  };
  for (const auto& [c, strokes] : rows)
    EXPECT_EQ(book::StrokeCount(c), strokes) << std::hex << static_cast<std::uint32_t>(c);
  // Characters of the compatibility block are counted (豈, U+F900, 10 strokes).
  EXPECT_EQ(book::StrokeCount(U'\uF900'), 10);
  EXPECT_EQ(book::NameStrokes(QStringLiteral("王\u2060传\u2060枝")), 4 + 6 + 8);
}

TEST(BookWordsTest, IndexOrderByPinyinThenStrokes) {
  // Each row: the first goes before the second.
  const std::vector<std::pair<const char16_t*, const char16_t*>> rows = {
      {u"张三", u"赵三"},    // zhang before zhao
      {u"张三", u"章三"},    // the same sounds: 7 strokes before 11
      {u"王五", u"汪五"},    // wang 4 before wang 7
      {u"张三", u"张三丰"},  // a name before the names it begins
      {u"李四", u"张三"},    // li before zhang
      {u"张三", u"张山"},    // san before shan, whatever the strokes
      {u"安", u"把"},        // an before ba
      {u"陈春", u"长春"},    // 长 is read zhang, the table's first reading
      {u"Anna", u"李四"},    // Latin letters by their own letter
  };
  for (const auto& [a, b] : rows) {
    const QString x = QString::fromStdU16String(a), y = QString::fromStdU16String(b);
    EXPECT_TRUE(book::IndexBefore(x, y)) << x.toStdString() << " before " << y.toStdString();
    EXPECT_FALSE(book::IndexBefore(y, x)) << y.toStdString() << " after " << x.toStdString();
  }
  EXPECT_FALSE(book::IndexBefore(QStringLiteral("张三"), QStringLiteral("张三")));
  // The joiners the book puts in a name are not part of it.
  EXPECT_FALSE(book::IndexBefore(QStringLiteral("张\u2060三"), QStringLiteral("张三")));
  EXPECT_FALSE(book::IndexBefore(QStringLiteral("张三"), QStringLiteral("张\u2060三")));
}

}  // namespace
