// One log: the printed report and band views, the saved listing (-o), and
// the logs that are not scored.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli_test_support.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

const std::string kSample = std::string(ZELO_SAMPLES) + "/sample.log";

std::string Joined(const std::vector<std::string>& lines, std::string_view eol) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append(eol);
  return text;
}

TEST(PrintedListing, ReportIsTheReportLinesOnePerLine) {
  const std::string log = ReadBytes(kSample);
  const CliRun run = RunZelo({kSample});
  EXPECT_EQ(run.code, kExitScored);
  EXPECT_EQ(run.out, Joined(WriteReport(ScoreLog(log)), "\n"));
  EXPECT_EQ(run.err, "");
}

TEST(PrintedListing, EveryBandViewIsThatBandsCalls) {
  const std::string log = ReadBytes(kSample);
  const ScoreResult result = ScoreLog(log);
  for (Band band : kBands) {
    const CliRun run = RunZelo({"--band", std::string(BandName(band)), kSample});
    EXPECT_EQ(run.code, kExitScored);
    EXPECT_EQ(run.out, Joined(BandViewLines(band, result.Tally(band).calls), "\n")) << BandName(band);
  }
}

// A listing saved with -o holds the very lines that would be printed, each
// with CR LF, and one empty line after them.
struct SavedCase {
  std::vector<std::string> options;
};
const SavedCase kSavedCases[] = {{{}}, {{"--band", "160"}}, {{"--band", "20"}}, {{"--band", "10"}}};

class SavedListingTest : public ScratchTest, public testing::WithParamInterface<SavedCase> {};

TEST_P(SavedListingTest, FileHoldsThePrintedLinesWithCrLf) {
  std::vector<std::string> print_args = GetParam().options;
  print_args.push_back(kSample);
  std::vector<std::string> save_args = GetParam().options;
  save_args.insert(save_args.end(), {"-o", Path("listing.NS"), kSample});
  const CliRun printed = RunZelo(print_args);
  const CliRun saved = RunZelo(save_args);
  EXPECT_EQ(saved.code, kExitScored) << saved.err;
  EXPECT_EQ(saved.out, "");
  EXPECT_EQ(saved.err, "");
  std::string expected;
  for (char c : printed.out) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  expected += "\r\n";
  EXPECT_EQ(ReadBytes(Path("listing.NS")), expected);
}
INSTANTIATE_TEST_SUITE_P(Views, SavedListingTest, testing::ValuesIn(kSavedCases));

class SaveTest : public ScratchTest {};

TEST_F(SaveTest, ReportBytesAreTheWindowsListingBytes) {
  ASSERT_EQ(RunZelo({"-o", Path("r.NS"), kSample}).code, kExitScored);
  const std::string bytes = ReadBytes(Path("r.NS"));
  EXPECT_EQ(bytes, ListingBytes(WriteReport(ScoreLog(ReadBytes(kSample)))));
  EXPECT_TRUE(bytes.ends_with("***\r\n\r\n"));
}

TEST_F(SaveTest, EmptyBandViewSavesFourLines) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL1AA", "599", "AB")}));
  ASSERT_EQ(RunZelo({"--band", "160", "-o", Path("v.NS"), log}).code, kExitScored);
  const std::string rule(94, '_');
  EXPECT_EQ(ReadBytes(Path("v.NS")), rule + "\r\n160M QSO's:\r\n" + rule + "\r\n\r\n");
}

TEST_F(SaveTest, ExistingFileIsReplacedWhole) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL1AA", "599", "AB")}));
  const std::string out = File("old.NS", std::string(100000, 'x'));
  ASSERT_EQ(RunZelo({"-o", out, log}).code, kExitScored);
  EXPECT_EQ(ReadBytes(out), ListingBytes(WriteReport(ScoreLog(ReadBytes(log)))));
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.log", "old.NS"}));
}

TEST_F(SaveTest, MissingFolderFailsAndLeavesNothing) {
  const std::string log = File("a.log", LogOf({QsoLine("14025", "DL1AA", "599", "AB")}));
  const std::string out = Path("missing/out.NS");
  const CliRun run = RunZelo({"-o", out, log});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Listing NOT saved: " + out + ": " + std::strerror(ENOENT) + "\n");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.log"}));
}

// The core owns every save fault and every spelling of the log
// (tests/core/save_listing_test.cpp); -o passes a refusal on.
TEST_F(SaveTest, OntoTheLogIsRefusedAndTheLogKept) {
  const std::string bytes = LogOf({QsoLine("14025", "DL1AA", "599", "AB")});
  const std::string log = File("a.log", bytes);
  const CliRun run = RunZelo({"-o", log, log});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Listing NOT saved: that file is your log\n");
  EXPECT_EQ(ReadBytes(log), bytes);
}

// Logs that are not scored: exit 1, the reason on stderr, nothing on stdout
// and no listing written.
// The core owns why a file is no log (tests/core, tests/hostile); here one
// file that cannot be opened, one whose start is shown escaped, and a device,
// which the command line refuses though it reads pipes.
enum class BadLog { kMissing, kControlBytes, kDevice };
struct RejectCase {
  BadLog kind;
  std::string reason;
};
const RejectCase kRejectCases[] = {
    {BadLog::kMissing, std::strerror(ENOENT)},
    {BadLog::kControlBytes, "it begins with \"\\x1B[2J\\xC2\\x9B\", not START-OF-LOG:"},
    {BadLog::kDevice, "it is not a regular file"},
};

class RejectTest : public ScratchTest, public testing::WithParamInterface<RejectCase> {};

TEST_P(RejectTest, ExitsOneWithTheReason) {
  const std::string log = Path("x.log");
  switch (GetParam().kind) {
    case BadLog::kMissing: break;
    case BadLog::kControlBytes: File("x.log", "\x1B[2J\xC2\x9B\r\n"); break;
    case BadLog::kDevice: std::filesystem::create_symlink("/dev/zero", log); break;
  }
  const std::string expected = "Please select a valid cabrillo log file: " + log + ": " + GetParam().reason + "\n";
  for (const auto& options : {std::vector<std::string>{}, {"--band", "20"}, {"--explain"}, {"-o", Path("o.NS")}}) {
    std::vector<std::string> args = options;
    args.push_back(log);
    const CliRun run = RunZelo(args);
    EXPECT_EQ(run.code, kExitRejected);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, expected);
  }
  EXPECT_FALSE(std::filesystem::exists(Path("o.NS")));
}
INSTANTIATE_TEST_SUITE_P(Logs, RejectTest, testing::ValuesIn(kRejectCases));

TEST_F(SaveTest, LogWithoutContactsGivesZeroReport) {
  const std::string log = File("a.log", "START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\nEND-OF-LOG:\r\n");
  const CliRun run = RunZelo({log});
  EXPECT_EQ(run.code, kExitScored);
  EXPECT_TRUE(run.out.starts_with(std::string(28, ' ') + "ZELO Razezuz Score Diva 1.11 - \n"));
  EXPECT_TRUE(run.out.ends_with("*** FINAL SCORE =  0 ***\n"));
}

// A stream that fails every write, as a full disk does.
class FullBuf : public std::streambuf {
 protected:
  int_type overflow(int_type) override {
    errno = ENOSPC;
    return traits_type::eof();
  }
  std::streamsize xsputn(const char*, std::streamsize) override {
    errno = ENOSPC;
    return 0;
  }
};

TEST(WriteError, FailedOutputExitsOneWithTheReason) {
  for (const auto& args : {std::vector<std::string>{kSample}, {"--json", kSample}, {"--explain", kSample},
                           {kSample, kSample}, {"--band", "20", kSample}}) {
    std::vector<const char*> argv{"zelo-score"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    FullBuf buf;
    std::ostream out(&buf);
    std::ostringstream err;
    EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), kExitRejected);
    EXPECT_EQ(err.str(), std::string("zelo-score: writing the output failed: ") + std::strerror(ENOSPC) + "\n");
  }
}

}  // namespace
}  // namespace zelo::test
