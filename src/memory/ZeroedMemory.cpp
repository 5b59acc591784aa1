#include "memory/ZeroedMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Below this the heap serves: a mapping costs a system call and a page.
constexpr std::size_t kMapFrom = std::size_t{1} << 20;

}  // namespace

void* MapZeroed(std::size_t bytes, std::size_t& mapped) {
  mapped = 0;
  if (bytes < kMapFrom) return std::calloc(bytes, 1);
  // One large page more than asked, so that the array can start on a large
  // page's boundary; what lies before and after is given back.
  const std::size_t rounded = (bytes + kLargePage - 1) & ~(kLargePage - 1);
  const std::size_t length = rounded + kLargePage;
  void* area = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (area == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(area);
  const std::uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
  if (aligned > start) ::munmap(area, aligned - start);
  if (aligned + rounded < start + length)
    ::munmap(reinterpret_cast<void*>(aligned + rounded), start + length - aligned - rounded);
  (void)::madvise(reinterpret_cast<void*>(aligned), rounded, MADV_HUGEPAGE);
  mapped = rounded;
  return reinterpret_cast<void*>(aligned);
}

void UnmapZeroed(void* data, std::size_t mapped) {
  if (!data) return;
  if (mapped)
    ::munmap(data, mapped);
  else
    std::free(data);
}
