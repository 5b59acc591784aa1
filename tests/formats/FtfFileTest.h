// The genealogy file's tests in memory: a tree, read from and written to bytes
// through the codec that Load and Save wrap, and a folder for the files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "FileTestSupport.h"
#include "formats/ftf/FtfCodec.h"

namespace modeltest {

class FileTest : public TempFolderTest {
protected:
  // Through the codec that Load and Save wrap, in memory.
  int LoadText(const std::string& bytes) { return ftf::Read(bytes, tree_, {}).code; }
  std::string SaveText() {
    std::string out;
    EXPECT_EQ(ftf::Write(tree_,
                         [&out](std::string_view piece) {
                           out.append(piece);
                           return true;
                         })
                  .code,
              kFileOk);
    return out;
  }
  bool Empty() const { return tree_.GetRootLink() == nullptr; }

  COperationClanbook tree_;
};

// The end line every file closes with.
inline constexpr char kEnd[] = "end 1999 12 2 1 end 1 end";

}  // namespace modeltest
