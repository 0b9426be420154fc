#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <string>
#include <string_view>

#include "input/log_file.h"
#include "test_log.h"

namespace zelo {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::WriteBytes;
using namespace std::string_literals;

// Every byte value, in a scrambled order, many times over: larger than any
// single read the platform is likely to make.
std::string AllByteValues(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919 + i / 256) % 256);
  return bytes;
}

struct ContentCase {
  std::string name;
  std::string bytes;
};
const ContentCase kContentCases[] = {
    {"CrLf", "START-OF-LOG: 3.0\r\nQSO: 14025 CW\r\nEND-OF-LOG:\r\n"},
    {"MixedLineEnds", "a\rb\nc\r\nd\n\re"},
    {"NulAndHighBytes", "START\0OF\xFF\x80\xC3\xA9\x7F\r\n"s},
    {"NoLineEnd", "START-OF-LOG:"},
    {"OneByte", "\n"},
    {"Large", AllByteValues(3 * 1024 * 1024 + 17)},
};

class ReadWholeFileTest : public testing::TestWithParam<ContentCase> {};

TEST_P(ReadWholeFileTest, ReadsEveryByteAsStored) {
  ScratchDir dir;
  const fs::path path = dir / "log.txt";
  WriteBytes(path, GetParam().bytes);
  const FileRead read = ReadWholeFile(path.string());
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_TRUE(read.error.empty());
  EXPECT_EQ(read.bytes.size(), GetParam().bytes.size());
  EXPECT_TRUE(read.bytes == GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Contents, ReadWholeFileTest, testing::ValuesIn(kContentCases),
                         [](const auto& info) { return info.param.name; });

// Files that cannot be read as a log (folders, devices, FIFOs without a
// writer, missing, unreadable or too big files) are
// tests/hostile/hostile_input_test.cpp's table, run through the core.

// Writes `bytes` into `fd` in pieces of a few kilobytes, then closes it.
void WriteInPiecesAndClose(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), std::min<std::size_t>(bytes.size(), 5000));
    if (n <= 0) break;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  ::close(fd);
}

// A FIFO (when the caller takes streams) and an open pipe are read to the
// writer's end, byte for byte; neither is a file a save could overwrite.
TEST(ReadStream, FifoAndPipeAreReadToTheirEnd) {
  const std::string bytes = AllByteValues(3 * 1024 * 1024 + 17);
  ScratchDir dir;
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto fifo_writer = std::async(std::launch::async, [&] { WriteInPiecesAndClose(::open(fifo.c_str(), O_WRONLY), bytes); });
  const FileRead from_fifo = ReadWholeFile(fifo, ReadMode::kStreamsToo);
  fifo_writer.wait();
  int pipe_fds[2];
  ASSERT_EQ(::pipe(pipe_fds), 0);
  auto pipe_writer = std::async(std::launch::async, [&] { WriteInPiecesAndClose(pipe_fds[1], bytes); });
  const FileRead from_pipe = ReadStream(pipe_fds[0]);
  pipe_writer.wait();
  ::close(pipe_fds[0]);
  for (const FileRead* read : {&from_fifo, &from_pipe}) {
    ASSERT_TRUE(read->ok) << read->error;
    EXPECT_TRUE(read->bytes == bytes);
    EXPECT_FALSE(read->identity.has_value());
  }
}

TEST(SameFile, RecognisesOneFileHoweverNamed) {
  ScratchDir dir;
  fs::create_directory(dir / "sub");
  const fs::path log = dir / "x.log";
  WriteBytes(log, "START-OF-LOG: 3.0\r\n");
  WriteBytes(dir / "twin.log", "START-OF-LOG: 3.0\r\n");
  fs::create_symlink(log, dir / "soft.log");
  fs::create_hard_link(log, dir / "hard.log");
  const std::string cwd = fs::current_path().string();

  struct Case {
    std::string other;
    bool same;
  };
  const Case cases[] = {
      {log.string(), true},
      {(dir / "sub" / ".." / "x.log").string(), true},
      {(dir / "." / "x.log").string(), true},
      {(dir / "soft.log").string(), true},
      {(dir / "hard.log").string(), true},
      {(dir / "twin.log").string(), false},
      {(dir / "missing.log").string(), false},
      {(dir / "sub").string(), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameFile(log.string(), c.other), c.same) << c.other;
    EXPECT_EQ(SameFile(c.other, log.string()), c.same) << c.other;
  }
  // A relative spelling from the current folder.
  fs::current_path(dir.Root());
  EXPECT_TRUE(SameFile("./x.log", log.string()));
  EXPECT_TRUE(SameFile("x.log", "sub/../x.log"));
  fs::current_path(cwd);
  EXPECT_FALSE(SameFile((dir / "missing.log").string(), (dir / "missing.log").string()));
}

}  // namespace
}  // namespace zelo
