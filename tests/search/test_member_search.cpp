#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../model/ModelTestSupport.h"
#include "search/MemberSearch.h"
#include "search/Pinyin.h"

namespace {

using modeltest::Narrow;

std::vector<std::string> Syllables(char32_t c) {
  std::vector<std::string> out;
  for (std::uint16_t r : PinyinReadings(c)) out.emplace_back(PinyinSyllable(r));
  return out;
}

bool Has(const std::vector<std::string>& list, const std::string& s) {
  return std::find(list.begin(), list.end(), s) != list.end();
}

TEST(PinyinTable, ReadingsWithoutTonesForEveryPronunciation) {
  struct Row {
    char32_t c;
    std::vector<std::string> present;
  };
  const Row rows[] = {
      {U'孔', {"kong"}},       {U'行', {"xing", "hang", "heng"}},  // polyphonic, tones merged
      {U'吕', {"lv", "lu"}},                                       // ü typed both ways
      {U'略', {"lve", "lue"}}, {U'嗯', {"n"}},  // a reading with a tone mark on n
      {U'𠀁', {"qi"}},                          // outside the Basic Multilingual Plane
  };
  for (const Row& row : rows) {
    const std::vector<std::string> got = Syllables(row.c);
    for (const std::string& s : row.present)
      EXPECT_TRUE(Has(got, s)) << static_cast<unsigned>(row.c) << " lacks " << s;
    for (const std::string& s : got) {
      EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](char ch) { return ch >= 'a' && ch <= 'z'; }))
          << s;
      EXPECT_EQ(std::count(got.begin(), got.end(), s), 1) << s;
    }
  }
  EXPECT_TRUE(Syllables(U'A').empty());
  EXPECT_TRUE(Syllables(U'，').empty());
}

struct RuleRow {
  std::u16string name;
  std::u16string address;
  std::u16string query;
  bool match;
};

TEST(MatchingRule, NameAddressAndPinyin) {
  const RuleRow rows[] = {
      // Full pinyin, initials, mixed, and what is typed on the way.
      {u"孔丘", u"", u"kongqiu", true},
      {u"孔丘", u"", u"kq", true},
      {u"孔丘", u"", u"k", true},
      {u"孔丘", u"", u"kongq", true},
      {u"孔丘", u"", u"kongqi", true},
      {u"孔丘", u"", u"kqiu", true},
      {u"孔丘", u"", u"KongQiu", true},
      {u"孔丘", u"", u"qiu", true},  // a run may start inside the name
      {u"孔丘", u"", u"qiukong", false},
      {u"孔丘", u"", u"kongqiux", false},
      {u"孔丘", u"", u"ongqiu", false},  // a syllable is met from its start
      {u"孔丘", u"", u"konqiu", false},  // only the last syllable may be cut short
      {u"孔丘", u"", u"kgqiu", false},
      {u"张三", u"", u"zhs", true},  // zh, ch, sh are initials too
      {u"张三", u"", u"zs", true},
      {u"张三", u"", u"zhangsa", true},
      {u"张三", u"", u"zhasan", false},
      {u"银行", u"", u"yinhang", true},  // every reading of a polyphonic character
      {u"银行", u"", u"yinxing", true},
      {u"银行", u"", u"yh", true},
      {u"吕布", u"", u"lvbu", true},
      {u"吕布", u"", u"lubu", true},
      {u"孔𠀁", u"", u"kongqi", true},
      // Parts of the name and of the address, exactly or folded for Latin.
      {u"欧阳修", u"", u"阳修", true},
      {u"欧阳修", u"", u"修阳", false},
      {u"孔𠮷", u"", u"𠮷", true},
      {u"王五", u"江苏无锡", u"无锡", true},
      {u"王五", u"江苏无锡", u"wuxi", false},  // pinyin is for names only
      {u"王五", u"", u"无锡", false},
      {u"Mary王", u"Room7B", u"ARY", true},
      {u"Mary王", u"Room7B", u"7b", true},
      {u"Mary王", u"Room7B", u"ryw", false},
      {u"孔丘", u"", u" 孔 ", true},  // blanks around the query do not count
      {u"孔丘", u"", u"  ", false},
      {u"孔丘", u"", u"", false},
  };
  for (const RuleRow& row : rows) {
    MemberNode member;
    member.name = row.name;
    member.address = row.address;
    EXPECT_EQ(MemberMatchesQuery(member, row.query), row.match)
        << Narrow(row.name) << " / " << Narrow(row.address) << " / " << Narrow(row.query);
  }
}

TEST(MatchingRule, CourtesyArtNameAndLifeRecord) {
  MemberNode member;
  member.name = u"张传枝";
  member.address = u"村东";
  MemberRecord& record = member.extra.EditRecord();
  record.courtesyName = u"茂林";
  record.artName = u"Songting";
  record.biography = u"幼习举业，后以耕读传家。";
  const std::pair<std::u16string, bool> rows[] = {
      {u"茂林", true},  {u"songt", true},                   // a Latin 号 folded like an address
      {u"耕读", true},  {u"村东", true},  {u"mao", false},  // pinyin is for names only
      {u"林s", false},  // no match runs from one field into the next
      {u"东茂", false}, {u"zcz", true},
  };
  for (const auto& [query, match] : rows)
    EXPECT_EQ(MemberMatchesQuery(member, query), match) << Narrow(query);
}

// A clan whose names mix polyphonic characters, Latin letters and a character
// outside the Basic Multilingual Plane, with edits told to the index as the
// document tells them.
class IndexAgainstRule : public ::testing::Test {
protected:
  static constexpr char16_t kChars[] = u"孔丘张三王行银吕布长乐欧阳修重庆Ab";
  unsigned m_serial = 0;
  unsigned m_seed = 12345;
  COperationClanbook m_book;
  MemberSearchIndex m_index{m_book};

  unsigned Next() {
    m_seed = m_seed * 1103515245u + 12345u;
    return (m_seed >> 16) & 0x7FFF;
  }
  std::u16string RandomName() {
    std::u16string name;
    const unsigned length = 1 + Next() % 3;
    for (unsigned i = 0; i < length; ++i) name += kChars[Next() % (std::size(kChars) - 1)];
    if (Next() % 4 == 0) name += u"𠮷";
    return name + modeltest::SerialName(m_serial++);
  }
  MemberNode* NewMember() {
    MemberNode* m = modeltest::Make(RandomName(), 1900 + static_cast<int>(Next() % 100));
    if (Next() % 3) m->address = Next() % 2 ? u"江苏无锡" : u"Room7B";
    if (Next() % 4 == 0) GiveRecord(*m);
    return m;
  }
  // A 字 or 号 shared by some (a member found by the words he is remembered
  // by), and a 行传 that names a place others live in.
  void GiveRecord(MemberNode& m) {
    MemberRecord& record = m.extra.EditRecord();
    record.courtesyName = Next() % 2 ? u"茂林" : u"";
    record.artName = Next() % 2 ? u"松亭" : u"孔";
    record.biography = Next() % 2 ? u"迁居无锡" : u"";
    // A long 行传, of the characters names are made of: long texts are
    // looked at through signatures of their own.
    if (Next() % 3 == 0)
      for (int i = 0; i < 40; ++i) record.biography += kChars[Next() % (std::size(kChars) - 1)];
    m.extra.Tidy();
  }
  MemberNode* RandomMember() {
    const auto all = modeltest::PreOrder(m_book);
    return const_cast<MemberNode*>(all[Next() % all.size()]);
  }
  void Grow(int members) {
    m_book.InsertMember(nullptr, NewMember());
    for (int i = 1; i < members; ++i) m_book.InsertMember(RandomMember(), NewMember());
  }

  void ExpectAgreement(const std::string& when) {
    const std::u16string queries[] = {u"k",    u"kq",   u"kongqiu", u"zh",   u"zhangs", u"yh",
                                      u"xing", u"hang", u"lv",      u"lu",   u"ab",     u"孔",
                                      u"阳修", u"无锡", u"7b",      u"𠮷",   u"chong",  u"cq",
                                      u"zz",   u"q",    u"茂林",    u"松亭", u"林松"};
    for (const std::u16string& q : queries) ExpectAgreementFor(q, when);
  }
  void ExpectAgreementFor(std::u16string_view q, const std::string& when = "") {
    std::vector<const MemberNode*> expected;
    for (const MemberNode* m : modeltest::PreOrder(m_book))
      if (MemberMatchesQuery(*m, q)) expected.push_back(m);
    const std::vector<MemberNode*> got = m_index.Find(q);
    EXPECT_EQ(std::vector<const MemberNode*>(got.begin(), got.end()), expected)
        << when << ", query " << Narrow(q);
  }
};

TEST_F(IndexAgainstRule, TypingOnAndBackFromTheAnswerBefore) {
  Grow(400);
  m_index.Rebuild();
  ASSERT_GT(m_index.Find(u"zh").size(), 20u);
  for (const std::u16string typed : {u"zhangsan", u"kongqiu", u"孔丘张", u"yinhang"}) {
    for (std::size_t n = 1; n <= typed.size(); ++n) ExpectAgreementFor(typed.substr(0, n));
    for (std::size_t n = typed.size(); n >= 1; --n) ExpectAgreementFor(typed.substr(0, n));
  }
}

TEST_F(IndexAgainstRule, EditsKeepResultsInPreOrder) {
  Grow(300);
  m_index.Rebuild();
  ExpectAgreement("after the snapshot");
  for (int step = 0; step < 120; ++step) {
    const unsigned kind = Next() % 6;
    std::string what;
    if (kind <= 1) {
      MemberNode* m = NewMember();
      m_book.InsertMember(RandomMember(), m);
      m_index.MemberAdded(m);
      what = "add";
    } else if (kind == 2) {
      // A family linked at once, as when a deletion is undone.
      MemberNode* top = NewMember();
      m_book.InsertMember(RandomMember(), top);
      for (int i = 0; i < 3; ++i) m_book.InsertMember(i == 2 ? top->firstChild : top, NewMember());
      m_index.MemberAdded(top);
      what = "add family";
    } else if (kind == 3) {
      MemberNode* m = RandomMember();
      if (!m->parent || m_book.Root()->firstChild == m) continue;  // keep a clan
      m_index.MemberAboutToBeRemoved(m);
      m_book.DeleteMember(m);
      what = "remove";
    } else if (kind == 4) {
      MemberNode* m = RandomMember();
      MemberNode data = *m;
      data.name = RandomName();
      if (Next() % 2) data.address = u"重庆长乐";
      m_book.UpdateMemberData(m, data);
      if (Next() % 2) GiveRecord(*m);  // the record is changed in place, as its commands do
      m_index.MemberChanged(m);
      what = "change";
    } else {
      MemberNode* root = NewMember();
      m_book.InsertMember(nullptr, root);
      m_index.MemberAdded(root);
      what = "new root";
    }
    ExpectAgreement("step " + std::to_string(step) + " (" + what + ")");
  }
  // The edits were answered from the journal, not by taking a new snapshot.
  EXPECT_EQ(m_index.SnapshotSize(), 300u);
  EXPECT_GT(m_index.JournalSize(), 0u);
}

TEST_F(IndexAgainstRule, ManyEditsTakeANewSnapshot) {
  Grow(50);
  m_index.Rebuild();
  MemberNode* top = m_book.Root();
  for (int i = 0; i < 5000; ++i) {
    MemberNode* m = NewMember();
    m_book.InsertMember(top, m);
    m_index.MemberAdded(m);
  }
  ExpectAgreement("after 5000 additions");
  EXPECT_EQ(m_index.SnapshotSize(), 5050u);
}

}  // namespace

TEST_F(IndexAgainstRule, ASubtreeLargerThanTheJournalTakenOutAndPutBack) {
  Grow(200);
  MemberNode* top = NewMember();
  m_book.InsertMember(m_book.Root(), top);
  for (int i = 0; i < 5000; ++i) m_book.InsertMember(i % 3 ? top : top->firstChild, NewMember());
  m_index.Rebuild();
  // As a deletion and its undo move it: out in one piece, back at its place.
  m_index.MemberAboutToBeRemoved(top);
  const COperationClanbook::SubtreePlace place = m_book.TakeSubtree(top);
  ExpectAgreement("taken out");
  m_book.RestoreSubtree(top, place);
  m_index.MemberAdded(top);
  ExpectAgreement("put back");
  EXPECT_EQ(m_index.SnapshotSize(), 5201u);
}
