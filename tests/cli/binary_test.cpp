// The real zelo-score program: exit statuses, and what goes to stdout and stderr.
#include <cerrno>
#include <cstring>

#include "cli_test_support.h"
#include "support/child.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

const std::string kSample = std::string(ZELO_SAMPLES) + "/sample.log";

// The program run with `args`; a signal that ends it gives code -1.
class ProgramTest : public ScratchTest {
 protected:
  ProgramOutcome Run(const std::vector<std::string>& args, Stdout mode = Stdout::kCaptured) {
    return RunProgram(ZELO_SCORE_BIN, args, mode);
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
    {{"-o", "{COPY}", "{SAMPLE}"}, kExitRejected, false, "Listing NOT saved: {COPY} is a Cabrillo log; not replaced"},
    {{"-o", "{LINK}", "{SAMPLE}"}, kExitRejected, false, "Listing NOT saved: {LINK} is a Cabrillo log; not replaced"},
    {{"-o", "{COPY}", "-"}, kExitRejected, false, "Listing NOT saved: that file is your log\n"},
    {{"--bogus", "{SAMPLE}"}, kExitUsage, false, "zelo-score has no option --bogus\n"},
    {{}, kExitUsage, false, "LOG is required"},
};

class ProgramCaseTest : public ProgramTest, public testing::WithParamInterface<ProgramCase> {};

TEST_P(ProgramCaseTest, ExitStatusAndStreams) {
  const std::string sample = ReadBytes(kSample);
  const std::string copy = File("copy.log", sample);
  const std::string link = Path("link.txt");
  std::filesystem::create_symlink(copy, link);
  const auto expand = [&](std::string text) {
    for (const auto& [name, value] : {std::pair{"{SAMPLE}", kSample}, {"{COPY}", copy}, {"{LINK}", link}}) {
      for (std::size_t at; (at = text.find(name)) != std::string::npos;) text.replace(at, std::string(name).size(), value);
    }
    return text;
  };
  std::vector<std::string> args;
  for (const std::string& arg : GetParam().args) args.push_back(expand(arg));
  // A LOG given as "-" is the copy, on standard input.
  const ProgramOutcome run = RunProgram(ZELO_SCORE_BIN, args, ProgramIo{Stdout::kCaptured, copy, {}, false});
  EXPECT_EQ(ReadBytes(copy), sample);
  ASSERT_NE(run.code, -1) << "ended by a signal";
  EXPECT_EQ(run.code, GetParam().code);
  EXPECT_EQ(!run.out.empty(), GetParam().has_out) << run.out;
  EXPECT_TRUE(run.err.starts_with(expand(GetParam().err_starts))) << run.err;
  EXPECT_EQ(run.err.empty(), GetParam().err_starts.empty()) << run.err;
}
INSTANTIATE_TEST_SUITE_P(Programs, ProgramCaseTest, testing::ValuesIn(kProgramCases));

// `cat s.log | zelo-score -o s.log -`: the log comes through a pipe, and
// the file named is still a log.
TEST_F(ProgramTest, PipedLogIsNotReplacedByItsListing) {
  const std::string sample = ReadBytes(kSample);
  const std::string copy = File("s.log", sample);
  const ProgramOutcome run =
      RunProgram("/bin/sh", {"-c", "cat \"$1\" | \"$0\" -o \"$1\" -", ZELO_SCORE_BIN, copy});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, "Listing NOT saved: " + copy + " is a Cabrillo log; not replaced: choose another name\n");
  EXPECT_EQ(ReadBytes(copy), sample);
}

TEST_F(ProgramTest, ReportGoesToStdoutByteForByte) {
  const ProgramOutcome run = Run({kSample});
  std::string expected;
  for (const std::string& line : WriteReport(ScoreLog(ReadBytes(kSample)))) expected += line + "\n";
  EXPECT_EQ(run.out, expected);
}

TEST_F(ProgramTest, ListingToDevStdoutIsWrittenStraightThrough) {
  const ProgramOutcome run = Run({"-o", "/dev/stdout", kSample});
  EXPECT_EQ(run.code, kExitScored) << run.err;
  EXPECT_EQ(run.out, ListingBytes(WriteReport(ScoreLog(ReadBytes(kSample)))));
}

TEST_F(ProgramTest, FullDiskExitsOneWithReason) {
  const ProgramOutcome run = Run({kSample}, Stdout::kDevFull);
  ASSERT_NE(run.code, -1) << "ended by a signal";
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, std::string("zelo-score: writing the output failed: ") + std::strerror(ENOSPC) + "\n");
}

// A reader that stops early (`zelo-score LOG | head -1`) ends the program
// quietly: no signal, no message, but not a success either.
TEST_F(ProgramTest, ClosedPipeEndsQuietlyWithoutSignal) {
  for (const auto& args : {std::vector<std::string>{kSample}, {"--explain", kSample}}) {
    const ProgramOutcome run = Run(args, Stdout::kClosedPipe);
    ASSERT_NE(run.code, -1) << "ended by a signal";
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_EQ(run.err, "");
  }
}

}  // namespace
}  // namespace zelo::test
