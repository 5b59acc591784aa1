// The wall-clock and CPU time of a stretch of a benchmark's work, and the
// process's resident memory.
#pragma once

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>

namespace clanbench {

// The memory the process holds now, and the most it has held, in MiB.
inline double ResidentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

inline double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// The most this program has held since it started (VmHWM): unlike PeakMiB,
// not the peak of the process that forked it, in a benchmark that runs
// itself again for a fresh process.
inline double PeakSinceExecMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024.0;
  return 0;
}

// Milliseconds of CPU time on `clock` (the process's, or the calling thread's).
inline double CpuMs(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Started when made. The CPU time is the whole process's by default; a
// thread's own leaves out what other threads do meanwhile.
class Timer {
public:
  explicit Timer(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID) : m_clock(clock) {}
  double WallMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_wall)
        .count();
  }
  double CpuMs() const { return clanbench::CpuMs(m_clock) - m_cpu; }

private:
  clockid_t m_clock;
  double m_cpu = clanbench::CpuMs(m_clock);
  std::chrono::steady_clock::time_point m_wall = std::chrono::steady_clock::now();
};

}  // namespace clanbench
