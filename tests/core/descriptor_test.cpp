// Reading a log and saving a listing close every descriptor they open, on
// every path: success, refusal and failure alike.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "input/log_file.h"
#include "support/files.h"
#include "io/safe_save.h"

namespace zelo {
namespace {

using test::ScratchDir;

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(Descriptors, ReadsAndSavesCloseWhatTheyOpen) {
  ScratchDir dir;
  const std::string log = dir.Write("a.log", "START-OF-LOG: 3.0\r\n");
  const std::string huge = dir.Write("huge.log", "");
  ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxLogBytes + 1)), 0);
  const std::string fifo = dir.Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string old = dir.Write("old.NS", "old");

  const std::size_t before = OpenDescriptors();
  for (const std::string& path : {log, huge, fifo, dir.Root(), dir.Path("missing.log"), std::string("/dev/zero")}) {
    ReadWholeFile(path);
  }
  for (const std::string& path : {dir.Path("new.NS"), old, fifo, dir.Root(), dir.Path("missing/x.NS"),
                                  std::string("/dev/null"), std::string("/dev/full"), log}) {
    SaveListing(path, "listing\r\n\r\n", log);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace zelo
