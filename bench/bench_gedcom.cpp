// bench_gedcom BOOK.ftf [VERSION]: GEDCOM export and import of a clan book,
// each against `wc -w` on the same .ged in the same run.
//
//   1. loads BOOK.ftf (made by clangen) and exports it as GEDCOM (7.0, or
//      5.5.1 with VERSION 5.5.1) to BOOK.ged beside it, as the command line
//      does (pieces of a megabyte written as they are made);
//   2. times `wc -w BOOK.ged` (the yardstick: one pass over the bytes);
//   3. drops the genealogy, reads BOOK.ged and imports it with root @I1@.
//
// Prints wall and processor times, the ratios to wc, the members on each
// side and the peak resident memory of the process (getrusage ru_maxrss).
//
// bench_gedcom --shared-line FATHERS LENGTH: a file made in memory where
// FATHERS fathers' families each list one son, whose line runs LENGTH
// generations; bench_gedcom --side-fathers LENGTH: a line of LENGTH
// generations whose every member is also listed as the son of a father of
// his own. Times the list of root candidates with their line sizes, the
// import without --root (the longest line) and with it.
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/FtfFormat.h"
#include "formats/gedcom/Gedcom.h"
#include "formats/gedcom/GedcomWriterSink.h"

namespace {

long PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Timer {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = CpuSeconds();
  double Wall() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
  }
  double Cpu() const { return CpuSeconds() - cpu; }
};

std::string Person(std::size_t i) {
  return "0 @I" + std::to_string(i) + "@ INDI\n1 NAME P" + std::to_string(i) +
         "\n1 BIRT\n2 DATE 1 JAN " + std::to_string(1000 + i % 900) + "\n";
}

std::string Family(std::size_t f, std::size_t husband, std::size_t child) {
  return "0 @F" + std::to_string(f) + "@ FAM\n1 HUSB @I" + std::to_string(husband) +
         "@\n1 CHIL @I" + std::to_string(child) + "@\n";
}

int RootCounts(const std::string& shape, std::size_t fathers, std::size_t length) {
  std::string text = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n";
  std::size_t families = 0;
  std::string rootXref;
  if (shape == "--shared-line") {
    // I0..: the fathers, then the line.
    for (std::size_t i = 0; i < fathers + length; ++i) text += Person(i);
    for (std::size_t f = 0; f < fathers; ++f) text += Family(families++, f, fathers);
    for (std::size_t i = 0; i + 1 < length; ++i)
      text += Family(families++, fathers + i, fathers + i + 1);
    rootXref = "@I0@";
  } else {
    // I(2i) the line, I(2i+1) the father beside each of its members.
    for (std::size_t i = 0; i < 2 * length; ++i) text += Person(i);
    for (std::size_t i = 0; i < length; ++i) {
      text += Family(families++, 2 * i + 1, 2 * i);
      if (i > 0) text += Family(families++, 2 * i - 2, 2 * i);
    }
    rootXref = "@I1@";
  }
  text += "0 TRLR\n";
  std::printf("ged_bytes %zu\n", text.size());
  std::vector<gedcom::GedcomRootCandidate> candidates;
  Timer list;
  if (!gedcom::ListRootCandidates(text, candidates)) return 1;
  std::printf("candidates %zu\nlongest %zu\nlist_roots_s %.3f\n", candidates.size(),
              candidates.front().members, list.Wall());
  for (const bool withRoot : {false, true}) {
    COperationClanbook imported;
    gedcom::GedcomImportReport report;
    gedcom::GedcomImportOptions options;
    if (withRoot) options.rootXref = rootXref;
    Timer read;
    if (!gedcom::ReadGedcom(text, options, imported, report)) return 1;
    std::printf("%s %.3f\n", withRoot ? "import_with_root_s" : "import_without_root_s",
                read.Wall());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--shared-line")
    return RootCounts(argv[1], std::strtoul(argv[2], nullptr, 10),
                      argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 18000);
  if (argc >= 3 && std::string(argv[1]) == "--side-fathers")
    return RootCounts(argv[1], 0, std::strtoul(argv[2], nullptr, 10));
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: bench_gedcom BOOK.ftf [5.5.1]\n");
    return 2;
  }
  const std::string book = argv[1];
  const std::string ged = book.substr(0, book.rfind('.')) + ".ged";
  const auto version = argc == 3 && std::string(argv[2]) == "5.5.1" ? gedcom::GedcomVersion::v5_5_1
                                                                    : gedcom::GedcomVersion::v7_0;
  double exportWall = 0, exportCpu = 0;
  int members = 0;
  std::size_t bytes = 0;
  {
    COperationClanbook genealogy;
    Timer load;
    if (formats::LoadFtf(book, genealogy).code != kFileOk) {
      std::fprintf(stderr, "%s does not load\n", book.c_str());
      return 1;
    }
    std::printf("load_ftf_s %.3f\n", load.Wall());
    members += genealogy.CountMembers();
    // Exported as the command line does: in pieces of a megabyte to the
    // file, never the whole text in memory.
    std::FILE* file = std::fopen(ged.c_str(), "wb");
    if (!file) return 1;
    bool ok = true;
    const gedcom::detail::Sink sink = [&](std::string& piece, bool) {
      bytes += piece.size();
      ok = ok && std::fwrite(piece.data(), 1, piece.size(), file) == piece.size();
      piece.clear();
      return ok;
    };
    Timer write;
    gedcom::detail::WriteGedcom(genealogy, version, sink);
    ok = std::fflush(file) == 0 && ok;
    exportWall = write.Wall();
    exportCpu = write.Cpu();
    if (std::fclose(file) != 0 || !ok) return 1;
    std::printf("peak_after_export_mib %ld\n", PeakMiB());
  }
  // The yardstick, with the file in the page cache as the import will find it.
  const std::string command = "wc -w '" + ged + "' > /dev/null";
  if (std::system(command.c_str()) != 0) return 1;  // warms the cache
  rusage childrenBefore{}, childrenAfter{};
  getrusage(RUSAGE_CHILDREN, &childrenBefore);
  Timer wc;
  if (std::system(command.c_str()) != 0) return 1;
  const double wcWall = wc.Wall();
  getrusage(RUSAGE_CHILDREN, &childrenAfter);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  const double wcCpu = seconds(childrenAfter.ru_utime) + seconds(childrenAfter.ru_stime) -
                       seconds(childrenBefore.ru_utime) - seconds(childrenBefore.ru_stime);

  // The file's bytes in one allocation, as ImportGedcomFile reads them.
  std::string text;
  {
    std::FILE* file = std::fopen(ged.c_str(), "rb");
    if (!file) return 1;
    text.resize(bytes);
    const bool read = std::fread(text.data(), 1, bytes, file) == bytes;
    std::fclose(file);
    if (!read) return 1;
  }
  COperationClanbook imported;
  gedcom::GedcomImportReport report;
  gedcom::GedcomImportOptions options;
  options.rootXref = "@I1@";
  Timer read;
  const gedcom::GedcomResult result = gedcom::ReadGedcom(text, options, imported, report);
  const double importWall = read.Wall(), importCpu = read.Cpu();
  if (!result) {
    std::fprintf(stderr, "import failed: %s\n", result.detail.c_str());
    return 1;
  }
  int back = imported.CountMembers();
  std::printf(
      "members %d\nged_bytes %zu\nexport_s %.3f\nexport_cpu_s %.3f\nwc_w_s %.3f\n"
      "import_s %.3f\nimport_cpu_s %.3f\nmembers_imported %d\nchanges %zu\n"
      "export_over_wc %.2f\nimport_over_wc %.2f\nwc_w_cpu_s %.3f\nexport_cpu_over_wc_cpu %.2f\n"
      "import_cpu_over_wc_cpu %.2f\npeak_mib %ld\n",
      members, bytes, exportWall, exportCpu, wcWall, importWall, importCpu, back,
      report.changes.size(), exportWall / wcWall, importWall / wcWall, wcCpu, exportCpu / wcCpu,
      importCpu / wcCpu, PeakMiB());
  return 0;
}
