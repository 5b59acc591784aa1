// The member's record beside his ten fields: held only when not empty, copied
// with him but not his row, and the 排行 proposed from birth order and sex.
#include "model/COperationClanbook.h"
#include "model/MemberRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(MemberRecord, AnEmptyRecordIsNoneAndACopyIsANewMember) {
  MemberNode member;
  EXPECT_FALSE(member.extra.HasRecord());
  member.extra.EditRecord().courtesyName = u"仲尼";
  member.extra.row = 7;
  MemberNode copy = member;
  EXPECT_EQ(copy.extra.Record().courtesyName, u"仲尼");
  EXPECT_EQ(copy.extra.row, 0u) << "a copy is a new row in any file";
  member.extra.EditRecord().courtesyName.clear();
  member.extra.Tidy();
  EXPECT_FALSE(member.extra.HasRecord());
  copy.extra.SetRecord(MemberRecord());
  EXPECT_FALSE(copy.extra.HasRecord());
}

TEST(MemberRecord, ProposesTheRankAmongBrothersOrSisters) {
  COperationClanbook book;
  auto* father = new MemberNode;
  father->name = u"父";
  father->birthYear = 1900;
  father->birthMonth = father->birthDay = 1;
  book.InsertMember(nullptr, father);
  // Sons and daughters in birth order; each row: sex, expected 排行.
  const struct {
    Sex sex;
    const char16_t* rank;
  } rows[] = {{Sex::kMale, u"长子"},   {Sex::kFemale, u"长女"}, {Sex::kMale, u"次子"},
              {Sex::kMale, u"三子"},   {Sex::kFemale, u"次女"}, {Sex::kMale, u"四子"},
              {Sex::kMale, u"五子"},   {Sex::kMale, u"六子"},   {Sex::kMale, u"七子"},
              {Sex::kMale, u"八子"},   {Sex::kMale, u"九子"},   {Sex::kMale, u"十子"},
              {Sex::kMale, u"十一子"}, {Sex::kFemale, u"三女"}};
  std::vector<MemberNode*> children;
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    auto* child = new MemberNode;
    child->name = u"子" + std::u16string(1, static_cast<char16_t>(u'A' + i));
    child->birthYear = 1930 + static_cast<int>(i);
    child->birthMonth = child->birthDay = 1;
    if (rows[i].sex == Sex::kFemale) child->extra.EditRecord().sex = Sex::kFemale;
    book.InsertMember(father, child);
    children.push_back(child);
  }
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(ProposeRank(children[i]), rows[i].rank) << i;
  EXPECT_EQ(ProposeRank(father), u"");
}

}  // namespace
