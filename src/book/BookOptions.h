// What a printed book is asked to be: from which member, which table of the
// generations, which paper, which dates, and whether the living are kept
// private. The export dialog fills it, and so does --export-book.
#pragma once

#include <QString>

struct MemberNode;

namespace book {

enum class TableLayout { kOuyang, kSu, kPagoda };  // 欧式, 苏式, 吊线图
enum class Paper { kA4, kA3, kA3Folded };          // A3-folded: 筒子页
enum class DateStyle { kGregorian, kLunar, kBoth };

struct BookOptions {
  MemberNode* from = nullptr;  // the first member; when none, `fromName`, else the root
  QString fromName;
  TableLayout layout = TableLayout::kOuyang;
  bool horizontal = false;  // modern horizontal lines instead of 竖排
  Paper paper = Paper::kA4;
  DateStyle dates = DateStyle::kLunar;
  bool privateLiving = false;  // no dates or places of the living
  // The face; DefaultFile() when empty.
  QString fontFile;
  QString fontFamily;
};

}  // namespace book
