// The one whole-file reader: what it refuses unopened and why, and the size
// limit a caller may set.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <string>

#include "FileTestSupport.h"
#include "formats/io/FileBytes.h"

using namespace modeltest;
using Refused = fileio::FileCheck::Refused;

namespace {

class FileBytesTest : public TempFolderTest {
protected:
  // Reads `path` within `limit`; the bytes read land in `bytes_`.
  FileStatus ReadWithin(const std::filesystem::path& path, std::size_t limit) {
    check_.maxBytes = limit;
    bytes_ = "untouched";
    return fileio::ReadFileBytes(
        path,
        [this](std::string_view bytes, const ReadProgress&) {
          bytes_.assign(bytes);
          return FileStatus{};
        },
        check_);
  }

  fileio::FileCheck check_;
  std::string bytes_;
};

TEST_F(FileBytesTest, EachKindOfFileIsReadOrRefusedWithItsReason) {
  struct Row {
    const char* what;
    std::function<std::filesystem::path()> make;
    Refused refused;
    int error;
  };
  const std::string limitBytes(16, 'x');
  const Row rows[] = {
      {"exactly the limit", [&] { return Write(limitBytes, "full"); }, Refused::kNone, 0},
      {"an empty file", [&] { return Write("", "empty"); }, Refused::kNone, 0},
      {"one byte past the limit", [&] { return Write(limitBytes + "y", "over"); },
       Refused::kTooLarge, 0},
      {"a folder",
       [&] {
         std::filesystem::create_directory(folder_ / "sub");
         return folder_ / "sub";
       },
       Refused::kFolder, 0},
      {"a pipe nobody writes",
       [&] {
         EXPECT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
         return folder_ / "pipe";
       },
       Refused::kNotRegular, 0},
      {"a device", [] { return std::filesystem::path("/dev/zero"); }, Refused::kNotRegular, 0},
      {"nothing by that name", [&] { return folder_ / "absent"; }, Refused::kNone, ENOENT},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::filesystem::path path = row.make();
    const FileStatus status = ReadWithin(path, limitBytes.size());
    const bool read = row.refused == Refused::kNone && row.error == 0;
    EXPECT_EQ(status.Ok(), read);
    EXPECT_EQ(check_.refused, row.refused);
    EXPECT_EQ(check_.error, row.error);
    if (read)
      EXPECT_EQ(bytes_, Read(path));
    else
      EXPECT_EQ(bytes_, "untouched");
  }
}

}  // namespace
