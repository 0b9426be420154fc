// Command lines that once lost a file, run through the real zelo-score with
// the shell's redirections: an option given as "--output=" must not take the
// next argument (another log) as its value, and -o naming an open
// descriptor (/dev/stdout, /dev/stdin, a link to one) writes through that
// descriptor as the shell would, never replacing the file behind it.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "support/cases.h"
#include "support/child.h"
#include "support/contacts.h"
#include "support/files.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

constexpr std::string_view kEarlier = "earlier results\n";

struct LossCase {
  std::string_view name;
  // {LOG}: the log scored; {OTHER}: another log; {DIR}: the folder holding
  // both, results.txt, stdout.NS (a link to /dev/stdout) and dangling.NS (a
  // link to made.NS, which does not exist).
  std::vector<std::string> args;
  std::string in;   // "{OTHER}" or empty
  std::string out;  // "{RESULTS}" or "{LOG}"
  bool append;
  int code;
  std::string err;  // "{DIR}" stands for the folder
  // results.txt afterwards: "{EARLIER}" its old content, "{LISTING}" the listing.
  std::string results;
  bool made = false;  // made.NS holds the listing; else it must not exist
};

const LossCase kLossCases[] = {
    {"EmptyOutputValue", {"--output=", "{OTHER}", "{LOG}"}, "", "{RESULTS}", true, kExitUsage,
     "--output: the value after = is empty\nRun with --help for more information.\n", "{EARLIER}"},
    {"EmptyShortOutputValue", {"-o=", "{OTHER}", "{LOG}"}, "", "{RESULTS}", true, kExitUsage,
     "-o: the value after = is empty\nRun with --help for more information.\n", "{EARLIER}"},
    {"EmptyBandValue", {"--band=", "20", "{LOG}"}, "", "{RESULTS}", true, kExitUsage,
     "--band: the value after = is empty\nRun with --help for more information.\n", "{EARLIER}"},
    {"StdoutAppendedTo", {"-o", "/dev/stdout", "{LOG}"}, "", "{RESULTS}", true, kExitScored, "",
     "{EARLIER}{LISTING}"},
    {"ProcSelfFdAppendedTo", {"-o", "/proc/self/fd/1", "{LOG}"}, "", "{RESULTS}", true, kExitScored, "",
     "{EARLIER}{LISTING}"},
    {"LinkToStdoutTruncatedByTheShell", {"-o", "{DIR}/stdout.NS", "{LOG}"}, "", "{RESULTS}", false, kExitScored, "",
     "{LISTING}"},
    {"DashIsStdout", {"-o", "-", "{LOG}"}, "", "{RESULTS}", true, kExitScored, "", "{EARLIER}{LISTING}"},
    {"StdinFromAnotherLog", {"-o", "/dev/stdin", "{LOG}"}, "{OTHER}", "{RESULTS}", true, kExitRejected,
     "Listing NOT saved: /dev/stdin: it is open for reading only\n", "{EARLIER}"},
    {"StdoutOntoTheLog", {"-o", "/dev/stdout", "{LOG}"}, "", "{LOG}", true, kExitRejected,
     "Listing NOT saved: that file is your log\n", "{EARLIER}"},
    {"DanglingLinkCreatesItsTarget", {"-o", "{DIR}/dangling.NS", "{LOG}"}, "", "{RESULTS}", true, kExitScored, "",
     "{EARLIER}", true},
};

std::string Expand(std::string text, std::string_view token, const std::string& value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

using test::PrintTo;

class OutputLossTest : public testing::TestWithParam<LossCase> {};

TEST_P(OutputLossTest, NoFileIsLost) {
  const LossCase& c = GetParam();
  ScratchDir s;
  const std::string dir = s.Folder("work");
  std::string log_bytes = std::string(kHeader) + "\r\n" + ContactLine("14025", "DL1AA", "AB") + "\r\nEND-OF-LOG:\r\n";
  const std::string other_bytes = Expand(log_bytes, "DL1AA", "OK1XYZ");
  const std::string log = dir + "/log.log", other = dir + "/other.log", results = dir + "/results.txt";
  WriteBytes(log, log_bytes);
  WriteBytes(other, other_bytes);
  WriteBytes(results, kEarlier);
  ASSERT_EQ(::symlink("/dev/stdout", (dir + "/stdout.NS").c_str()), 0);
  ASSERT_EQ(::symlink("made.NS", (dir + "/dangling.NS").c_str()), 0);
  const std::vector<std::string> names_before = NamesIn(dir);

  std::vector<std::string> args;
  for (const std::string& arg : c.args) args.push_back(Expand(Expand(Expand(arg, "{LOG}", log), "{OTHER}", other), "{DIR}", dir));
  const ProgramIo io{Stdout::kFile, c.in.empty() ? "" : other, c.out == "{LOG}" ? log : results, c.append};
  const ProgramOutcome run = RunProgram(kScoreProgram.Path(), args, io);

  const std::string listing = ListingBytes(WriteReport(ScoreLog(log_bytes)));
  EXPECT_EQ(run.code, c.code) << run.err;
  EXPECT_EQ(run.err, Expand(c.err, "{DIR}", dir));
  EXPECT_EQ(ReadBytes(log), log_bytes) << "the scored log keeps its bytes";
  EXPECT_EQ(ReadBytes(other), other_bytes) << "the other log keeps its bytes";
  if (c.out != "{LOG}") {
    EXPECT_EQ(ReadBytes(results), Expand(Expand(c.results, "{EARLIER}", std::string(kEarlier)), "{LISTING}", listing));
  }
  std::vector<std::string> names_expected = names_before;
  if (c.made) {
    names_expected.push_back("made.NS");
    std::sort(names_expected.begin(), names_expected.end());
    EXPECT_EQ(ReadBytes(dir + "/made.NS"), listing);
  }
  EXPECT_EQ(NamesIn(dir), names_expected) << "no file replaces a link, and no stray file is left";
  for (const char* link : {"/stdout.NS", "/dangling.NS"}) {
    EXPECT_TRUE(std::filesystem::is_symlink(dir + link)) << link;
  }
}

INSTANTIATE_TEST_SUITE_P(CommandLines, OutputLossTest, testing::ValuesIn(kLossCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo::test
