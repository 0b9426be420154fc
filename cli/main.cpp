#include <csignal>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // A file-size limit must fail a write with EFBIG, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);
  return zelo::RunCli(argc, argv, std::cout, std::cerr);
}
