// The real zelo-score program: exit statuses, and what goes to stdout and stderr.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli_test_support.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

const std::string kSample = std::string(ZELO_SAMPLES) + "/sample.log";

enum class Stdout { kCaptured, kDevFull, kClosedPipe };

struct ProgramRun {
  bool exited = false;  // false when a signal ended it
  int code = -1;
  std::string out;
  std::string err;
};

std::string Drain(int fd) {
  std::string bytes;
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  return bytes;
}

class ProgramTest : public ScratchTest {
 protected:
  ProgramRun Run(const std::vector<std::string>& args, Stdout mode = Stdout::kCaptured) {
    std::vector<char*> argv{const_cast<char*>(ZELO_SCORE_BIN)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int out_pipe[2];
    EXPECT_EQ(::pipe(out_pipe), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (mode == Stdout::kDevFull) {
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
    } else {
      posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    }
    const std::string err_path = Path("stderr.txt");
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addclose(&actions, out_pipe[1]);
    if (mode == Stdout::kClosedPipe) {
      ::close(out_pipe[0]);  // nobody will ever read
    } else {
      posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    }

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out_pipe[1]);
    ProgramRun run;
    if (mode != Stdout::kClosedPipe) {
      run.out = Drain(out_pipe[0]);
      ::close(out_pipe[0]);
    }
    EXPECT_EQ(spawned, 0);
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    run.exited = WIFEXITED(status);
    run.code = run.exited ? WEXITSTATUS(status) : -1;
    run.err = ReadBytes(err_path);
    return run;
  }
};

struct ProgramCase {
  std::vector<std::string> args;  // "{SAMPLE}": the sample log; "{COPY}": a scratch copy of it
  int code;
  bool has_out;
  std::string err_starts;
};
const ProgramCase kProgramCases[] = {
    {{"{SAMPLE}"}, kExitScored, true, ""},
    {{"--band", "40", "{SAMPLE}"}, kExitScored, true, ""},
    {{"--json", "{SAMPLE}", "{SAMPLE}"}, kExitScored, true, ""},
    {{"--version"}, kExitScored, true, ""},
    {{"/nonexistent/x.log"}, kExitRejected, false, "Please select a valid cabrillo log file: /nonexistent/x.log: "},
    {{"/"}, kExitRejected, false, "Please select a valid cabrillo log file: /: it is a folder\n"},
    {{"{SAMPLE}", "/"}, kExitRejected, true, "Please select a valid cabrillo log file: /: it is a folder\n"},
    {{"-o", "{COPY}", "{COPY}"}, kExitRejected, false, "Listing NOT saved: that file is your log\n"},
    {{"--bogus", "{SAMPLE}"}, kExitUsage, false, "The following argument"},
    {{}, kExitUsage, false, "LOG is required"},
};

class ProgramCaseTest : public ProgramTest, public testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramCaseTest, ExitStatusAndStreams) {
  const std::string sample = ReadBytes(kSample);
  const std::string copy = File("copy.log", sample);
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) {
    args.push_back(arg == "{SAMPLE}" ? kSample : arg == "{COPY}" ? copy : arg);
  }
  const ProgramRun run = Run(args);
  EXPECT_EQ(ReadBytes(copy), sample);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.code, GetParam().code);
  EXPECT_EQ(!run.out.empty(), GetParam().has_out) << run.out;
  EXPECT_TRUE(run.err.starts_with(GetParam().err_starts)) << run.err;
  EXPECT_EQ(run.err.empty(), GetParam().err_starts.empty()) << run.err;
}
INSTANTIATE_TEST_SUITE_P(Programs, ProgramCaseTest, testing::ValuesIn(kProgramCases));

TEST_F(ProgramTest, ReportGoesToStdoutByteForByte) {
  const ProgramRun run = Run({kSample});
  std::string expected;
  for (const std::string& line : WriteReport(ScoreLog(ReadBytes(kSample)))) expected += line + "\n";
  EXPECT_EQ(run.out, expected);
}

TEST_F(ProgramTest, ListingToDevStdoutIsWrittenStraightThrough) {
  const ProgramRun run = Run({"-o", "/dev/stdout", kSample});
  EXPECT_EQ(run.code, kExitScored) << run.err;
  EXPECT_EQ(run.out, ListingBytes(WriteReport(ScoreLog(ReadBytes(kSample)))));
}

TEST_F(ProgramTest, FullDiskExitsOneWithReason) {
  const ProgramRun run = Run({kSample}, Stdout::kDevFull);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, std::string("zelo-score: writing the output failed: ") + std::strerror(ENOSPC) + "\n");
}

// A reader that stops early (`zelo-score LOG | head -1`) ends the program
// quietly: no signal, no message, but not a success either.
TEST_F(ProgramTest, ClosedPipeEndsQuietlyWithoutSignal) {
  for (const auto& args : {std::vector<std::string>{kSample}, {"--explain", kSample}}) {
    const ProgramRun run = Run(args, Stdout::kClosedPipe);
    ASSERT_TRUE(run.exited) << "ended by a signal";
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_EQ(run.err, "");
  }
}

}  // namespace
}  // namespace zelo::test
