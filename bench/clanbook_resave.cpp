// clanbook_resave FROM TO: loads FROM and saves it to TO through the atomic
// save, printing the two results. bench/soak_save.sh kills it mid-save.
#include <cstdio>

#include "formats/FtfFormat.h"
#include "model/COperationClanbook.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: clanbook_resave FROM TO\n");
    return 2;
  }
  COperationClanbook genealogy;
  const FileStatus loaded = formats::LoadFtf(argv[1], genealogy);
  std::printf("load %d problem %d line %zu\n", loaded.code, static_cast<int>(loaded.problem),
              loaded.line);
  if (!loaded.Ok()) return 1;
  std::fflush(stdout);
  const FileStatus saved = formats::SaveFtf(argv[2], genealogy);
  std::printf("save %d problem %d\n", saved.code, static_cast<int>(saved.problem));
  return saved.Ok() ? 0 : 1;
}
