// The genealogy file's loader against a reference reading word by word on
// random files, and large families listed out of birth order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "../model/ModelTestSupport.h"
#include "FtfFileTest.h"

using namespace modeltest;

namespace {

// The loader as specified, word by word and with the specified search from the
// root, for comparison on random files.
int ReferenceLoad(const std::string& text, COperationClanbook& tree) {
  tree.Clear();
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  std::size_t at = 0;
  auto number = [&](std::int32_t& out) {
    if (at == words.size()) return -1;
    const std::string& w = words[at++];
    std::size_t i = (w[0] == '+' || w[0] == '-') ? 1 : 0;
    if (i == w.size() || w.find_first_not_of("0123456789", i) != std::string::npos) return 0;
    const long long v = std::stoll(w.substr(0, 19));
    if (w.size() > 12 || v < INT32_MIN || v > INT32_MAX) return 0;
    out = static_cast<std::int32_t>(v);
    return 1;
  };
  auto word = [&](std::u16string& out) {
    if (at == words.size()) return -1;
    const std::string& w = words[at++];
    if (w.size() > 127) return 0;
    out.assign(w.begin(), w.end());
    return 1;
  };
  std::u16string father;
  auto read = [&](MemberNode* m, int& status) -> int {
    int s = 1;
    for (auto step : {0, 1, 2, 3, 4, 5, 6}) {
      s = step == 0   ? word(m->name)
          : step == 5 ? word(m->address)
                      : number(step == 1   ? m->birthYear
                               : step == 2 ? m->birthMonth
                               : step == 3 ? m->birthDay
                               : step == 4 ? m->married
                                           : m->alive);
      if (s != 1) break;
    }
    if (s == 1 && m->address == u"end") m->address.clear();
    if (s == 1 && m->alive == 0)
      for (std::int32_t* f : {&m->deathYear, &m->deathMonth, &m->deathDay})
        if (s == 1) s = number(*f);
    if (s == 1) s = word(father);
    status = s == 1 ? 1 : s == 0 ? 0 : (at == words.size() && words.empty() ? -5 : -1);
    if (status != 1) return 0;
    if (!COperationClanbook::IsValidDate(m->birthYear, m->birthMonth, m->birthDay)) return 0;
    if (m->alive) return 1;
    return COperationClanbook::CompareDates(m->birthYear, m->birthMonth, m->birthDay, m->deathYear,
                                            m->deathMonth, m->deathDay) <= 0 &&
           COperationClanbook::IsValidDate(m->deathYear, m->deathMonth, m->deathDay);
  };
  auto* root = new MemberNode;
  int status;
  const int ok = read(root, status);
  if (status != 1 || !ok || root->name == father) {
    delete root;
    return status != 1 ? status : !ok ? 0 : -5;
  }
  tree.InsertMember(nullptr, root);
  for (;;) {
    auto* m = new MemberNode;
    const int plausible = read(m, status);
    if (status == 1 && (m->name == father || m->name == u"end")) {
      delete m;
      return 1;
    }
    int failure = status != 1 ? status : plausible ? 1 : 0;
    MemberNode* found = nullptr;
    if (failure == 1) {
      // The specified search, recursion and overwriting included.
      struct {
        void operator()(MemberNode* link, MemberNode*& result, std::u16string_view name) {
          while (link) {
            if (link->name == name) {
              result = link;
              return;
            }
            (*this)(link->nextSibling, result, name);
            link = link->firstChild;
          }
        }
      } find;
      find(tree.GetRootLink(), found, father);
      if (!found)
        failure = -1;
      else if (COperationClanbook::CompareDates(m->birthYear, m->birthMonth, m->birthDay,
                                                found->birthYear, found->birthMonth,
                                                found->birthDay) < 0)
        failure = 0;
    }
    if (failure != 1) {
      delete m;
      tree.Clear();
      return failure;
    }
    m->parent = found;
    m->firstChild = m->nextSibling = nullptr;
    // After the children born earlier or on the same day: a file keeps its
    // order of twins.
    MemberNode** link = &found->firstChild;
    while (*link && COperationClanbook::CompareDates((*link)->birthYear, (*link)->birthMonth,
                                                     (*link)->birthDay, m->birthYear, m->birthMonth,
                                                     m->birthDay) <= 0)
      link = &(*link)->nextSibling;
    m->nextSibling = *link;
    *link = m;
  }
}

std::string Fields(const COperationClanbook& tree) {
  std::string out;
  for (const MemberNode* m : PreOrder(tree)) {
    std::ostringstream s;
    s << Narrow(m->name) << ' ' << m->birthYear << '-' << m->birthMonth << '-' << m->birthDay << ' '
      << m->married << ' ' << Narrow(m->address) << ' ' << m->alive;
    if (!m->alive) s << ' ' << m->deathYear << '-' << m->deathMonth << '-' << m->deathDay;
    s << " <" << (m->parent ? Narrow(m->parent->name) : "-") << ">\n";
    out += s.str();
  }
  return out;
}

TEST_F(FileTest, RandomFilesLoadAsTheSpecifiedLoaderDoes) {
  std::mt19937 random(4242);
  int outcomes[8] = {};
  for (int round = 0; round < 900; ++round) {
    const int names = 3 + static_cast<int>(random() % 20);
    // A third of the files give most members one of a few names, so that
    // fathers are found among many bearers of their name.
    const bool crowded = round % 3 == 2;
    const int records = 1 + static_cast<int>(random() % 40);
    std::vector<std::string> written;
    // Half of the files are in pre-order, as Save writes them: each father is
    // on the line from the root to the record before.
    const bool preOrder = round % 2 == 0;
    std::vector<std::string> line;
    std::string lastDate;
    std::string text;
    for (int r = 0; r < records; ++r) {
      auto name = [&] { return std::string(1, static_cast<char>('A' + random() % names)); };
      std::string n = r == 0 || (crowded ? random() % 5 == 0 : random() % 3 != 0)
                          ? "m" + std::to_string(r)
                          : name();
      if (random() % 60 == 0) n = "end";
      const int year = 1900 + (random() % 6 ? 3 * r : static_cast<int>(random() % 60));
      std::string date = std::to_string(year) + " " + std::to_string(1 + random() % 12) + " " +
                         std::to_string(random() % 50 == 0 ? 31 : 1 + random() % 28);
      // Children born on one day, to test where each newcomer goes.
      if (r > 0 && random() % 3 == 0) date = lastDate;
      lastDate = date;
      std::string rec = n + " " + date + " " + std::to_string(random() % 2) + " " +
                        (random() % 2 ? "end" : "addr") + " ";
      if (random() % 3 == 0) {
        rec += "0 " + std::to_string(year + static_cast<int>(random() % 80) - 1) + " 1 1";
      } else {
        rec += "1";
      }
      std::string father = "-1";
      if (r > 0) {
        if (random() % 5 == 0)
          father = name();
        else if (random() % 30 == 0)
          father = "ghost";
        else
          father = preOrder ? line[random() % line.size()] : written[random() % written.size()];
      }
      if (random() % 80 == 0) father = n;
      rec += " " + father;
      if (random() % 100 == 0) rec = rec.substr(0, rec.size() / 2);  // cut short
      if (random() % 120 == 0) rec.replace(rec.find(' '), 1, " 19x0 ");
      written.push_back(n);
      if (preOrder) {
        const auto at = std::find(line.begin(), line.end(), father);
        if (at != line.end()) line.erase(at + 1, line.end());
        line.push_back(n);
      }
      text += rec + (random() % 5 ? "\r\n" : " ");
    }
    if (random() % 8) text += kEnd;
    COperationClanbook expected;
    const int expectedCode = ReferenceLoad(text, expected);
    ASSERT_EQ(LoadText(text), expectedCode) << text;
    ASSERT_EQ(Fields(tree_), Fields(expected)) << text;
    ++outcomes[expectedCode + 5];
  }
  // The random files reach every outcome but the two that need no data.
  EXPECT_GT(outcomes[kFileOk + 5], 50);
  EXPECT_GT(outcomes[kFileBadDate + 5], 20);
  EXPECT_GT(outcomes[kFileBadRelation + 5], 20);
  EXPECT_GT(outcomes[kFileNoRoot + 5], 0);
}

}  // namespace

namespace {

// One father's children in the order a file lists them, each a date.
struct ChildOrderRow {
  const char* label;
  std::vector<int> days;  // days after 1950-01-01, in file order
  bool grandchildren;     // each child has a son named like every other
};

std::string DateText(int days) {
  // Months of 28 days keep every date valid.
  return std::to_string(1950 + days / 336) + " " + std::to_string(1 + days / 28 % 12) + " " +
         std::to_string(1 + days % 28);
}

std::vector<ChildOrderRow> ChildOrderRows() {
  std::vector<ChildOrderRow> rows;
  const int n = 3000;
  std::vector<int> interleaved, reversed, shuffled, twins;
  for (int i = 0; i < n / 2; ++i) {
    interleaved.push_back(2 * i);
    interleaved.push_back(2 * i + 1 + n);  // the second run starts later
  }
  for (int i = n; i > 0; --i) reversed.push_back(i / 3);  // three born each day
  std::mt19937 random(77);
  for (int i = 0; i < n; ++i) shuffled.push_back(static_cast<int>(random() % 200));
  for (int i = 0; i < n; ++i) twins.push_back(i % 2 ? 500 - i / 7 : i / 7);
  rows.push_back({"two_interleaved_runs", interleaved, false});
  rows.push_back({"reversed_with_triplets", reversed, false});
  rows.push_back({"random_with_many_ties", shuffled, false});
  rows.push_back({"two_runs_of_twins", twins, false});
  rows.push_back({"interleaved_fathers_of_namesakes", interleaved, true});
  rows.push_back({"shuffled_fathers_of_namesakes", shuffled, true});
  return rows;
}

class ChildOrderTest : public FileTest, public ::testing::WithParamInterface<ChildOrderRow> {};

// However a large family is listed, every child ends where the loader that
// walks the list for each newcomer puts him, twins in the file's order, and
// a name borne in several of the children's lines names the first bearer in
// that order.
TEST_P(ChildOrderTest, LargeFamiliesOutOfBirthOrderLoadAsTheWalkingLoaderDoes) {
  const ChildOrderRow& row = GetParam();
  std::string text = "Root 1900 1 1 1 end 1 -1\r\n";
  for (std::size_t i = 0; i < row.days.size(); ++i)
    text += "c" + std::to_string(i) + " " + DateText(row.days[i]) + " 0 end 1 Root\r\n";
  if (row.grandchildren) {
    for (std::size_t i = 0; i < row.days.size(); i += 7)
      text += "Heir " + DateText(row.days[i] + 9000) + " 0 end 1 c" + std::to_string(i) + "\r\n";
    // Each goes under the first Heir in pre-order: the son of the eldest.
    for (int i = 0; i < 50; ++i)
      text += "g" + std::to_string(i) + " " + DateText(20000 + i % 5) + " 0 end 1 Heir\r\n";
  }
  text += kEnd;
  COperationClanbook expected;
  ASSERT_EQ(ReferenceLoad(text, expected), kFileOk);
  ASSERT_EQ(LoadText(text), kFileOk);
  EXPECT_EQ(Fields(tree_), Fields(expected));
}

INSTANTIATE_TEST_SUITE_P(Orders, ChildOrderTest, ::testing::ValuesIn(ChildOrderRows()),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
