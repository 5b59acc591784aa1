// Replays the fuzzer's GEDCOM corpus: every file imports or fails with a
// reason, and what it imports can be saved and read back as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "GedcomTestSupport.h"

using namespace gedcomtest;

namespace {

namespace fs = std::filesystem;

class GedcomCorpus : public ScratchFolder {};

TEST_F(GedcomCorpus, EveryFileImportsOrSaysWhy) {
  std::vector<fs::path> files;
  for (const auto& entry :
       fs::directory_iterator(fs::path(CLANBOOK_SOURCE_DIR) / "fuzz/corpus-gedcom"))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  std::size_t imported = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    COperationClanbook tree;
    gedcom::GedcomImportReport report;
    const gedcom::GedcomResult result = gedcom::ReadGedcom(Read(file), {}, tree, report);
    if (!result) {
      EXPECT_FALSE(result.detail.empty());
      EXPECT_EQ(tree.GetRootLink(), nullptr);
      continue;
    }
    ++imported;
    // The genealogy keeps what its file demands, so Save takes it and Load
    // gives it back.
    const fs::path saved = folder_ / "saved.ftf";
    ASSERT_EQ(tree.Save(saved), kFileOk);
    COperationClanbook again;
    ASSERT_EQ(again.Load(saved), kFileOk);
    std::vector<std::string> before, after;
    for (const auto* t : {&tree, &again}) {
      std::string dump = Dump(*t);
      auto& lines = t == &tree ? before : after;
      for (std::size_t p = 0, q; (q = dump.find('\n', p)) != std::string::npos; p = q + 1)
        lines.push_back(dump.substr(p, q - p));
      std::sort(lines.begin(), lines.end());
    }
    EXPECT_EQ(before, after);
  }
  EXPECT_GT(imported, 0u);
}

}  // namespace
