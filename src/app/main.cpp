// clanbook [--lang zh|en] [FILE]: the genealogy program; FILE, a .ftf
// genealogy, is opened at start. --help lists every option.
#include "app/CClanbookApp.h"

int main(int argc, char** argv) {
  return CClanbookApp::Run(argc, argv);
}
