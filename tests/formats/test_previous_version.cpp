// The previous version a save keeps as its backup survives the save's own
// tidying, whatever the number its hidden name is given.
#include <gtest/gtest.h>

#include <string>

#include "FileTestSupport.h"
#include "formats/io/AtomicFile.h"
#include "formats/io/PreviousVersion.h"

using namespace modeltest;

namespace {

class PreviousVersionTest : public TempFolderTest {};

// A book's name of 251 bytes takes ".bak" just: cut at 200 bytes, the backup's
// hidden name starts as the atomic writer's leftovers of the book do. Many
// saves in a row give the hidden names numbers of one, two and three digits,
// so that one of them has the length of a leftover's for any process number
// of two to four digits.
TEST_F(PreviousVersionTest, AHeldVersionIsNoLeftoverOfTheSave) {
  const auto book = folder_ / (std::string(247, 'f') + ".ftf");
  const auto backup = folder_ / (book.filename().string() + ".bak");
  for (int save = 0; save < 120; ++save) {
    SCOPED_TRACE(save);
    Write("version " + std::to_string(save), book.filename().c_str());
    fileio::PreviousVersion kept;
    kept.Hold(book, backup);
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(book));
    ASSERT_TRUE(writer.Write("new"));
    ASSERT_TRUE(writer.Commit());
    ASSERT_EQ(kept.Settle(true), fileio::Kept::kKept);
    ASSERT_EQ(Read(backup), "version " + std::to_string(save));
  }
  EXPECT_EQ(Listing(), book.filename().string() + " " + backup.filename().string());
}

// A failed save drops what it held and leaves the backup as it was.
TEST_F(PreviousVersionTest, AFailedSaveLeavesTheBackupAlone) {
  const auto book = Write("current", "book.ftf");
  const auto backup = Write("older", "book.ftf.bak");
  fileio::PreviousVersion kept;
  kept.Hold(book, backup);
  EXPECT_EQ(kept.Settle(false), fileio::Kept::kNothingToKeep);
  EXPECT_EQ(Read(backup), "older");
  EXPECT_EQ(Listing(), "book.ftf book.ftf.bak");
}

}  // namespace
