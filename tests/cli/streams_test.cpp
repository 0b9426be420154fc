// Where zelo-score reads and writes besides named files: a LOG from standard
// input or a pipe, the listing to standard output, and what a terminal is
// shown of a log's bytes.
#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>

#include "cli_test_support.h"
#include "support/child.h"
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

// A LOG given as "-" is named "(standard input)" wherever it is named.
struct StandardInputCase {
  std::vector<std::string> args;
  std::string named;
};
const StandardInputCase kStandardInputCases[] = {
    {{"--json", "-"}, "\"file\":\"(standard input)\""},
    {{"--check", "-"}, "(standard input): 0 errors"},
    {{"--check", "--json", "-"}, "\"file\":\"(standard input)\""},
    {{"-", "-"}, "(standard input)"},
};

class StandardInputTest : public StreamTest, public testing::WithParamInterface<StandardInputCase> {};

TEST_P(StandardInputTest, IsNamedStandardInput) {
  const int in = FilledPipe("START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\nCONTEST: ZELO\r\nCLAIMED-SCORE: 0\r\n"
                            "END-OF-LOG:\r\n");
  const CliRun run = RunZelo(GetParam().args, {.in_fd = in});
  ::close(in);
  EXPECT_NE(run.out.find(GetParam().named), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("\"-\""), std::string::npos) << run.out;
}
INSTANTIATE_TEST_SUITE_P(Commands, StandardInputTest, testing::ValuesIn(kStandardInputCases));

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
    {{"--cross-check", "--json", "{LOG}"}, "\"call\":\"\\u001b]0;x\\u0007K1\x7F\xC2\x9B\"",
     "\"call\":\"\\u001b]0;x\\u0007K1\\u007f\\u009b\""},
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

// A FIFO is opened once and read to its end, whether its writer started
// before zelo-score, together with it or after it, and however soon the
// writer finishes: no run hangs (a hung one is ended by `timeout` and fails)
// and none loses a byte. Each order is tried many times, for the race.
struct FifoCase {
  const char* name;
  const char* script;  // $0 zelo-score, $1 the FIFO, $2 the log, $3 the command's options
};
const FifoCase kFifoCases[] = {
    {"WriterFirst", "cat \"$2\" > \"$1\" & timeout 60 \"$0\" $3 \"$1\"; s=$?; wait; exit $s"},
    {"Together", "timeout 60 \"$0\" $3 \"$1\" & p=$!; cat \"$2\" > \"$1\"; wait $p"},
    {"WriterLater", "timeout 60 \"$0\" $3 \"$1\" & p=$!; sleep 0.05; cat \"$2\" > \"$1\"; wait $p"},
};

class FifoTest : public ScratchTest, public testing::WithParamInterface<FifoCase> {};

TEST_P(FifoTest, ReadWholeWhateverTheWriterDoes) {
  const std::string log = File("s.log", ReadBytes(std::string(ZELO_SAMPLES) + "/sample.log"));
  const std::string fifo = Path("f");
  const std::string report = ListingBytes(WriteReport(ScoreLog(ReadBytes(log))));
  constexpr int kRuns = 25;
  for (int run = 0; run < kRuns; ++run) {
    for (const std::string options : {"-o -", "--check"}) {
      ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
      const ProgramOutcome outcome =
          RunProgram("/bin/sh", {"-c", GetParam().script, ZELO_SCORE_BIN, fifo, log, options});
      ::unlink(fifo.c_str());
      ASSERT_NE(outcome.code, 124) << options << ": hung, run " << run;
      if (options == "-o -") {
        ASSERT_EQ(outcome.code, kExitScored) << outcome.err << ", run " << run;
        ASSERT_EQ(outcome.out, report) << "run " << run;
      } else {
        ASSERT_NE(outcome.out.find("computed score 55476"), std::string::npos) << outcome.out << ", run " << run;
      }
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Orders, FifoTest, testing::ValuesIn(kFifoCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo::test
