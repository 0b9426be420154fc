// Where zelo-score reads and writes besides named files: a LOG from standard
// input or a pipe, the listing to standard output, and what a terminal is
// shown of a log's bytes.
#include <fcntl.h>
#include <unistd.h>

#include "cli_test_support.h"
#include "input/log_file.h"
#include "scoring/report.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

// A pipe already holding `bytes`, its writing end closed: the reading end.
int FilledPipe(std::string_view bytes) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  EXPECT_EQ(::write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fds[1]);
  return fds[0];
}

class StreamTest : public ScratchTest {
 protected:
  const std::string log_ = LogOf({QsoLine("14025", "DL1AA", "599", "AB"), QsoLine("7025", "DL2BB", "599", "CD")});
};

// "-" is standard input, and a pipe named like `<(cat log)` is read to its
// end: both score as the file does.
TEST_F(StreamTest, StandardInputAndPipeScoreAsTheFile) {
  const CliRun from_file = RunZelo({File("a.log", log_)});
  ASSERT_EQ(from_file.code, kExitScored) << from_file.err;
  const int in = FilledPipe(log_);
  const CliRun from_stdin = RunZelo({"-"}, {.in_fd = in});
  ::close(in);
  const int piped = FilledPipe(log_);
  const CliRun from_pipe = RunZelo({"/dev/fd/" + std::to_string(piped)});
  ::close(piped);
  for (const CliRun* run : {&from_stdin, &from_pipe}) {
    EXPECT_EQ(run->code, kExitScored) << run->err;
    EXPECT_EQ(run->out, from_file.out);
    EXPECT_EQ(run->err, "");
  }
}

// Endless standard input stops at the size limit of a log file.
TEST_F(StreamTest, EndlessStandardInputIsRefusedAtTheLimit) {
  const int zero = ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(zero, 0);
  const CliRun run = RunZelo({"-"}, {.in_fd = zero});
  ::close(zero);
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, std::string(kInvalidLogMessage) + ": (standard input): it is too big for a log: " +
                         std::to_string(kMaxLogBytes + 1) + " bytes (at most " + std::to_string(kMaxLogBytes) + ")\n");
}

TEST_F(StreamTest, ListingToStandardOutputHasTheSavedBytes) {
  const std::string path = File("a.log", log_);
  const CliRun run = RunZelo({"-o", "-", path});
  EXPECT_EQ(run.code, kExitScored) << run.err;
  EXPECT_EQ(run.out, ListingBytes(WriteReport(ScoreLog(log_))));
  EXPECT_EQ(Names(), std::vector<std::string>{"a.log"});
}

// A log's control bytes reach a terminal escaped; a file or a pipe gets the
// bytes as they are.
struct TerminalCase {
  std::vector<std::string> args;  // "{LOG}": a log whose own call and a worked call hold ESC, BEL and C1 CSI
  std::string raw;                // what a file or pipe gets
  std::string on_terminal;        // what a terminal is shown instead
};
const TerminalCase kTerminalCases[] = {
    {{"{LOG}"}, "Diva 1.11 - \x1B]0;x\x07K1\x7F\xC2\x9B\n", "Diva 1.11 - \\x1B]0;x\\x07K1\\x7F\\xC2\\x9B\n"},
    {{"--band", "20", "{LOG}"}, "   \xC2\x9B" "31mDL1AA\n", "   \\xC2\\x9B31mDL1AA\n"},
    {{"-o", "-", "{LOG}"}, "Diva 1.11 - \x1B]0;x\x07K1\x7F\xC2\x9B\r\n", "Diva 1.11 - \\x1B]0;x\\x07K1\\x7F\\xC2\\x9B\r\n"},
    {{"--json", "{LOG}"}, "\"call\":\"\\u001b]0;x\\u0007K1\x7F\xC2\x9B\"", "\"call\":\"\\u001b]0;x\\u0007K1\\u007f\\u009b\""},
};

class TerminalTest : public ScratchTest, public testing::WithParamInterface<TerminalCase> {};

TEST_P(TerminalTest, ControlsAreEscapedOnATerminalOnly) {
  const std::string log =
      File("a.log", LogOf({QsoLine("14025", "\xC2\x9B" "31mDL1AA", "599", "AB", "\x1B]0;x\x07K1\x7F\xC2\x9B")}));
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) arg = arg == "{LOG}" ? log : arg;
  const CliRun to_file = RunZelo(args);
  const CliRun to_terminal = RunZelo(args, {.out_is_terminal = true});
  EXPECT_NE(to_file.out.find(GetParam().raw), std::string::npos) << to_file.out;
  EXPECT_NE(to_terminal.out.find(GetParam().on_terminal), std::string::npos) << to_terminal.out;
  EXPECT_EQ(to_terminal.out.find('\x1B'), std::string::npos) << to_terminal.out;
  EXPECT_EQ(to_terminal.out.find("\xC2\x9B"), std::string::npos) << to_terminal.out;
}
INSTANTIATE_TEST_SUITE_P(Views, TerminalTest, testing::ValuesIn(kTerminalCases));

// A message on a terminal shows the path's control bytes escaped.
TEST_F(StreamTest, SaveMessageOnATerminalEscapesThePath) {
  const std::string path = File("a.log", log_);
  const std::string out = Path("\x1B[2J/x.NS");
  const CliRun to_file = RunZelo({"-o", out, path});
  const CliRun to_terminal = RunZelo({"-o", out, path}, {.err_is_terminal = true});
  EXPECT_EQ(to_file.code, kExitRejected);
  EXPECT_TRUE(to_file.err.starts_with(std::string(kListingNotSaved) + out + ": ")) << to_file.err;
  EXPECT_TRUE(to_terminal.err.starts_with(std::string(kListingNotSaved) + TerminalSafe(out) + ": "))
      << to_terminal.err;
}

}  // namespace
}  // namespace zelo::test
