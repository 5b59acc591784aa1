// Loading when memory runs out: the result code and no file left open.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../model/ModelTestSupport.h"
#include "FileTestSupport.h"
#include "formats/FtfFormat.h"

#if defined(__SANITIZE_ADDRESS__)
#define CLANBOOK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CLANBOOK_ASAN 1
#endif
#endif

using namespace modeltest;

namespace {

#ifndef CLANBOOK_ASAN
int OpenDescriptors() {
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return -1;
  int count = 0;
  while (::readdir(dir)) ++count;
  ::closedir(dir);
  return count;
}
#endif

using LoadLimitsTest = TempFolderTest;

// A file far larger than the memory the process may use: the load fails with
// the out-of-memory code, and the file it opened is closed again.
TEST_F(LoadLimitsTest, FileTooLargeForMemoryFailsWithoutLeavingItOpen) {
#ifdef CLANBOOK_ASAN
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit allows";
#else
  const std::filesystem::path file = folder_ / "huge.ftf";
  { std::ofstream(file, std::ios::binary) << "A 1900 1 1 0 end 1 -1\r\n"; }
  // Sparse: it takes no room on the disk.
  std::filesystem::resize_file(file, std::uintmax_t{4} << 30);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
    COperationClanbook tree;
    Add(tree, u"", u"Old", 1900);
    const int before = OpenDescriptors();
    const int result = formats::LoadFtf(file, tree).code;
    const int after = OpenDescriptors();
    if (result != kFileNoMemory) ::_exit(3);
    if (tree.Root() != nullptr) ::_exit(4);
    ::_exit(after == before ? 0 : 5);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "3: wrong result, 4: not empty, 5: the file stayed open";
#endif
}

}  // namespace
