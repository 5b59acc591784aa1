// bench_load_peak FILE [SAVED]: loads FILE once into a fresh genealogy and
// prints the time it took, the number of members and the peak resident memory
// of the process (getrusage ru_maxrss) before and after; with SAVED, also saves
// the genealogy there and prints that time. Run it in its own process per
// book, so that the peak belongs to that book alone.
#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>

namespace {

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Processor time of the process: unlike the wall time, other programs on a
// busy machine do not inflate it.
double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: bench_load_peak FILE [SAVED]\n");
    return 2;
  }
  const long before = PeakKiB();
  COperationClanbook genealogy;
  auto start = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  const int result = formats::LoadFtf(argv[1], genealogy).code;
  const double loadSeconds = Seconds(start);
  const double loadCpu = CpuSeconds() - cpu;
  const long afterLoad = PeakKiB();
  int members = genealogy.CountMembers();
  std::printf(
      "file %s\nresult %d\nmembers %d\nload_s %.3f\nload_cpu_s %.3f\npeak_before_kib %ld\n"
      "peak_kib %ld\n",
      argv[1], result, members, loadSeconds, loadCpu, before, afterLoad);
  if (argc == 3 && result == kFileOk) {
    start = std::chrono::steady_clock::now();
    cpu = CpuSeconds();
    const int saved = formats::SaveFtf(argv[2], genealogy).code;
    std::printf("save_result %d\nsave_s %.3f\nsave_cpu_s %.3f\npeak_after_save_kib %ld\n", saved,
                Seconds(start), CpuSeconds() - cpu, PeakKiB());
  }
  start = std::chrono::steady_clock::now();
  genealogy.Clear();
  std::printf("clear_s %.3f\n", Seconds(start));
  return result == kFileOk ? 0 : 1;
}
