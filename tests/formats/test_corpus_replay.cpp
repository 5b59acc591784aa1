// Replays the fuzzer's seed corpus through Load. The seeds' file names say
// what each must give (see fuzz/make_corpus.py); files the fuzzer added later
// need only end with a code of the table and, on failure, nothing loaded.
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ::testing::AnyOf;
using ::testing::Eq;

fs::path CorpusDir() {
  return fs::path(CLANBOOK_SOURCE_DIR) / "fuzz" / "corpus";
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(CorpusDir())) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// One member as the file carries it, with its father's name, so that two
// genealogies compare field by field and link by link.
using Row = std::tuple<std::u16string, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::u16string, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::u16string>;

// Pre-order rows; on the way checks what every loaded genealogy must satisfy.
std::vector<Row> Rows(const COperationClanbook& genealogy) {
  std::vector<Row> rows;
  std::vector<const MemberNode*> stack;
  if (const MemberNode* root = genealogy.Root()) {
    EXPECT_EQ(root->parent, nullptr);
    EXPECT_EQ(root->nextSibling, nullptr);
    stack.push_back(root);
  }
  while (!stack.empty()) {
    const MemberNode* m = stack.back();
    stack.pop_back();
    EXPECT_FALSE(m->name.empty());
    EXPECT_LE(m->name.size(), kMaxTextLength);
    EXPECT_LE(m->address.size(), kMaxTextLength);
    EXPECT_TRUE(COperationClanbook::IsValidDate(m->birthYear, m->birthMonth, m->birthDay));
    const bool alive = m->alive != 0;
    if (!alive) {
      EXPECT_TRUE(COperationClanbook::IsValidDate(m->deathYear, m->deathMonth, m->deathDay));
      EXPECT_GE(COperationClanbook::CompareDates(m->deathYear, m->deathMonth, m->deathDay,
                                                 m->birthYear, m->birthMonth, m->birthDay),
                0);
    }
    rows.emplace_back(m->name, m->birthYear, m->birthMonth, m->birthDay, m->married, m->address,
                      m->alive, alive ? 0 : m->deathYear, alive ? 0 : m->deathMonth,
                      alive ? 0 : m->deathDay, m->parent ? m->parent->name : u"-1");
    std::vector<const MemberNode*> children;
    for (const MemberNode* c = m->firstChild; c != nullptr; c = c->nextSibling) {
      EXPECT_EQ(c->parent, m);
      EXPECT_GE(COperationClanbook::CompareDates(c->birthYear, c->birthMonth, c->birthDay,
                                                 m->birthYear, m->birthMonth, m->birthDay),
                0)
          << "a child born before his father";
      if (!children.empty()) {
        const MemberNode* p = children.back();
        EXPECT_LE(COperationClanbook::CompareDates(p->birthYear, p->birthMonth, p->birthDay,
                                                   c->birthYear, c->birthMonth, c->birthDay),
                  0)
            << "children out of birth order";
      }
      children.push_back(c);
    }
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return rows;
}

TEST(CorpusReplay, EverySeedEndsWithACodeOfTheTableAndFailuresLeaveNothing) {
  const std::vector<fs::path> files = CorpusFiles();
  ASSERT_GE(files.size(), 20u) << CorpusDir();
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::string name = file.filename().string();
    COperationClanbook genealogy;
    // A genealogy already in memory must not survive a failed load.
    ASSERT_EQ(formats::LoadFtf(CorpusDir() / "valid-encoding-utf8.ftf", genealogy).code, kFileOk);
    const int result = formats::LoadFtf(file, genealogy).code;
    EXPECT_THAT(result, AnyOf(Eq(1), Eq(0), Eq(-1), Eq(-3), Eq(-4), Eq(-5)));
    if (result != kFileOk) {
      EXPECT_EQ(genealogy.Root(), nullptr);
    } else {
      EXPECT_NE(genealogy.Root(), nullptr);
      Rows(genealogy);
    }
    if (StartsWith(name, "valid-")) {
      EXPECT_EQ(result, kFileOk);
    } else if (StartsWith(name, "bad-date-")) {
      EXPECT_EQ(result, kFileBadDate);
    } else if (StartsWith(name, "bad-relation-")) {
      EXPECT_EQ(result, kFileBadRelation);
    } else if (StartsWith(name, "bad-noroot-")) {
      EXPECT_EQ(result, kFileNoRoot);
    } else if (StartsWith(name, "bad-")) {
      EXPECT_NE(result, kFileOk);
    }
  }
}

TEST(CorpusReplay, EveryEncodingReadsBackTheSameGenealogy) {
  COperationClanbook reference;
  ASSERT_EQ(formats::LoadFtf(CorpusDir() / "valid-encoding-utf8.ftf", reference).code, kFileOk);
  const std::vector<Row> expected = Rows(reference);
  ASSERT_EQ(expected.size(), 8u);
  // The address with a character outside the Basic Multilingual Plane keeps its
  // surrogate pair.
  EXPECT_EQ(std::get<5>(expected[2]), u"鲁国\U00020BB7邑");
  EXPECT_EQ(std::get<5>(expected[1]), u"");  // "end": no address

  int compared = 0;
  for (const fs::path& file : CorpusFiles()) {
    if (!StartsWith(file.filename().string(), "valid-encoding-")) continue;
    SCOPED_TRACE(file.filename().string());
    COperationClanbook genealogy;
    ASSERT_EQ(formats::LoadFtf(file, genealogy).code, kFileOk);
    EXPECT_EQ(Rows(genealogy), expected);
    ++compared;
  }
  EXPECT_GE(compared, 6);
}

TEST(CorpusReplay, SeedsThatEndEarlyKeepOnlyWhatCameBefore) {
  const std::map<std::string, std::size_t> members = {
      {"valid-later-end.ftf", 2},
      {"valid-name-equals-father.ftf", 2},
      {"valid-root-only.ftf", 1},
      {"valid-calendar-edges.ftf", 3},
  };
  for (const auto& [file, count] : members) {
    SCOPED_TRACE(file);
    COperationClanbook genealogy;
    ASSERT_EQ(formats::LoadFtf(CorpusDir() / file, genealogy).code, kFileOk);
    EXPECT_EQ(Rows(genealogy).size(), count);
  }
  COperationClanbook longest;
  ASSERT_EQ(formats::LoadFtf(CorpusDir() / "valid-longest-words.ftf", longest).code, kFileOk);
  EXPECT_EQ(longest.Root()->name.size(), kMaxTextLength);
  EXPECT_EQ(longest.Root()->address.size(), kMaxTextLength);
}

}  // namespace
