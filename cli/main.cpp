#include <unistd.h>

#include <csignal>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // A file-size limit must fail a write with EFBIG, not kill the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // A reader that goes away (zelo-score ... | head -1) must fail a write with
  // EPIPE, which is then reported, instead of killing the program.
  std::signal(SIGPIPE, SIG_IGN);
  std::ios::sync_with_stdio(false);
  // On a terminal, bytes from a log or a path are shown escaped.
  const zelo::CliStreams streams{::isatty(STDOUT_FILENO) == 1, ::isatty(STDERR_FILENO) == 1, STDIN_FILENO};
  return zelo::RunCli(argc, argv, std::cout, std::cerr, streams);
}
