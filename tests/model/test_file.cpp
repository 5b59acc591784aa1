// The genealogy file: what Save writes, what Load accepts, and the result codes.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "ModelTestSupport.h"

using namespace modeltest;
namespace fs = std::filesystem;

namespace {

class FileTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() /
        ("clanbook-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path Write(const std::string& bytes, const char* name = "g.ftf") {
    fs::path p = folder_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int LoadText(const std::string& bytes) { return tree_.Load(Write(bytes)); }

  fs::path folder_;
  COperationClanbook tree_;
};

const char kExample[] =
    "Alder 1901 2 3 1 end 0 1970 5 6 -1\r\n"
    "Birch 1930 10 1 1 Riverside 1 Alder\r\n"
    "Cedar 1960 12 24 0 Hilltop 1 Birch\r\n"
    "end 1999 12 2 1 end 1 end";

TEST_F(FileTest, ExampleLoadsAndSavesByteForByte) {
  ASSERT_EQ(LoadText(kExample), kFileOk);
  const MemberNode* alder = tree_.GetRootLink();
  ASSERT_NE(alder, nullptr);
  EXPECT_EQ(alder->name, u"Alder");
  EXPECT_EQ(alder->address, u"");
  EXPECT_EQ(alder->alive, 0);
  EXPECT_EQ(alder->deathYear, 1970);
  EXPECT_EQ(alder->deathMonth, 5);
  EXPECT_EQ(alder->deathDay, 6);
  ASSERT_NE(alder->firstChild, nullptr);
  EXPECT_EQ(alder->firstChild->address, u"Riverside");
  EXPECT_EQ(alder->firstChild->firstChild->name, u"Cedar");
  EXPECT_EQ(alder->firstChild->firstChild->married, 0);
  const fs::path out = folder_ / "out.ftf";
  ASSERT_EQ(tree_.Save(out), kFileOk);
  EXPECT_EQ(Read(out), kExample);
  EXPECT_EQ(alder->address, u"");  // saving does not alter the member
}

}  // namespace
