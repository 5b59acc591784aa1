// Replays the fuzzer's GEDCOM corpus: every file imports or fails with a
// reason, and what it imports can be saved and read back as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "GedcomTestSupport.h"
#include "formats/FtfFormat.h"

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
      EXPECT_EQ(tree.Root(), nullptr);
      continue;
    }
    ++imported;
    // The genealogy keeps what its file demands, so Save takes it and Load
    // gives it back.
    const fs::path saved = folder_ / "saved.ftf";
    ASSERT_EQ(formats::SaveFtf(saved, tree).code, kFileOk);
    COperationClanbook again;
    ASSERT_EQ(formats::LoadFtf(saved, again).code, kFileOk);
    // Compared member by member with the father's name: a save and load
    // reverses children born on the same day, as the .ftf format does.
    std::vector<std::string> before, after;
    for (const auto* t : {&tree, &again}) {
      auto& rows = t == &tree ? before : after;
      t->VisitPreOrder(rows, t->Root(), [](std::vector<std::string>& out, MemberNode* m) {
        std::string row = Dump(*m);
        out.push_back(row + " <" + (m->parent ? U8(m->parent->name) : ""));
      });
      std::sort(rows.begin(), rows.end());
    }
    EXPECT_EQ(before, after);
  }
  EXPECT_GT(imported, 0u);
}

}  // namespace
