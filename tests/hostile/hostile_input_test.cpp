// Whatever file a user chooses as the log, the program neither crashes nor
// hangs: each hostile file below is either rejected with its reason or
// scored to a stated result, through the core, zelo-score (in-process and,
// for some, the real program) and the window's File/Open. Every case runs in
// a forked child under a deadline, so a hang fails the case instead of the
// whole test run.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "channel.h"
#include "cli/cli.h"
#include "fakes/recording_window.h"
#include "input/log_file.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "support/cases.h"
#include "support/child.h"
#include "support/contacts.h"
#include "support/files.h"
#include "support/random.h"

namespace zelo::test {
namespace {

using namespace std::string_literals;

// Bytes that look like nothing: seeded, so every run sees the same file.
// No "QSO:" can appear, since every Q is lowered.
std::string Junk(std::size_t size, unsigned seed) {
  SeededRandom random(seed);
  std::string junk(size, '\0');
  for (char& c : junk) {
    c = random.Byte();
    if (c == 'Q') c = 'q';
  }
  return junk;
}

// Two contacts on 20 m and one on 40 m, each with its own item: 3 contacts,
// 3 multipliers, score 9.
std::vector<std::string> SmallContacts(std::string_view sep = " ") {
  return {ContactLine("14025", "YPZGO", "HR", sep), ContactLine("7205", "YRET", "CL", sep),
          ContactLine("14202", "E7VVD", "AR", sep)};
}

std::string MixedEnds() {
  const std::vector<std::string> lines = SmallContacts();
  return std::string(kHeader) + "\r\n" + lines[0] + "\n" + lines[1] + "\r" + lines[2] + "\r\nEND-OF-LOG:\n";
}

// `count` contacts on 20 m, each with its own call and item.
std::vector<std::string> DistinctContacts(int count) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    lines.push_back(ContactLine("14025", Numbered("K", i), Numbered("M", i)));
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view between) {
  std::string text;
  for (const std::string& p : parts) text.append(p).append(between);
  return text;
}

// What a case must give: rejected with a reason, or scored to these totals.
struct Expect {
  bool scored = false;
  std::string reason;          // rejected: the core's reason, or its ending
  bool reason_is_ending = false;
  std::int64_t qsos = 0, mults = 0, score = 0;
  std::string my_call;
};

Expect Rejected(std::string reason) { return {false, std::move(reason), false, 0, 0, 0, {}}; }
Expect RejectedEnding(std::string ending) { return {false, std::move(ending), true, 0, 0, 0, {}}; }
Expect Scored(std::int64_t qsos, std::int64_t mults, std::int64_t score, std::string my_call = "YO3ZELO") {
  return {true, {}, false, qsos, mults, score, std::move(my_call)};
}

struct InputCase {
  std::string_view name;
  std::function<std::string(const ScratchDir&)> make;  // creates the file, gives the path to choose
  Expect expect;
  bool as_nobody = false;
};

// A file of `size` bytes that begins with the header and takes no disk space.
std::string SparseFile(const ScratchDir& s, std::uint64_t size) {
  const std::string path = s.Write("huge.log", std::string(kHeader) + "\r\n");
  if (::truncate(path.c_str(), static_cast<off_t>(size)) != 0) ADD_FAILURE() << std::strerror(errno);
  return path;
}

std::string TooBig(std::uint64_t size) {
  return "it is too big for a log: " + std::to_string(size) + " bytes (at most " + std::to_string(kMaxLogBytes) + ")";
}

std::function<std::string(const ScratchDir&)> FileOf(std::function<std::string()> bytes) {
  return [bytes](const ScratchDir& s) { return s.Write("chosen.log", bytes()); };
}

const InputCase kInputCases[] = {
    {"EmptyFile", FileOf([] { return std::string(); }), Rejected("the file is empty")},
    {"HeaderAlone", FileOf([] { return std::string(kHeader) + "\r\n"; }), Scored(0, 0, 0, "")},
    {"BinaryJunk", FileOf([] { return std::string("J").append(Junk(65536, 1)); }), RejectedEnding(", not START-OF-LOG:")},
    {"HeaderThenBinaryJunk", FileOf([] { return std::string(kHeader) + "\r\n" + Junk(65536, 2); }),
     Scored(0, 0, 0, "")},
    {"BinaryJunkAroundContacts",
     FileOf([] {
       return std::string(kHeader) + "\r\n" + Junk(30000, 3) + "\r\n" + ContactLine("14025", "K1A", "A") + "\r\n" +
              ContactLine("14030", "K1B", "B") + "\r\n" + Junk(30000, 4);
     }),
     Scored(2, 2, 4)},
    {"NulBytesInQsoLines",
     FileOf([] {
       return LogOf({ContactLine("14025", "W1\0AW"s, "M\0X"s), ContactLine("7040", "\0"s, "\0"s),
                     ContactLine("\0\0"s, "K1ABC", "Z")});
     }),
     Scored(2, 2, 4)},
    {"TenMegabyteLine",
     FileOf([] { return LogOf({std::string(10'000'000, 'x'), ContactLine("14025", "K1ABC", "Z")}); }),
     Scored(1, 1, 1)},
    {"TenMegabyteRecord", FileOf([] { return LogOf({ContactLine("14025", "K1ABC", std::string(10'000'000, 'I'))}); }),
     Scored(1, 1, 1)},
    {"HundredThousandTagsOnOneLine",
     FileOf([] {
       std::string tags;
       for (int i = 0; i < 100'000; ++i) tags += "QSO:";
       return LogOf({tags});
     }),
     Scored(0, 0, 0, "")},
    {"HundredThousandContactsOnOneLine", FileOf([] { return LogOf({Joined(DistinctContacts(100'000), " ")}); }),
     Scored(100'000, 100'000, 10'000'000'000)},
    {"CrOnly", FileOf([] { return LogOf(SmallContacts(), "\r"); }), Scored(3, 3, 9)},
    {"LfOnly", FileOf([] { return LogOf(SmallContacts(), "\n"); }), Scored(3, 3, 9)},
    {"MixedLineEnds", FileOf(MixedEnds), Scored(3, 3, 9)},
    {"TabsForBlanks", FileOf([] { return LogOf(SmallContacts("\t")); }), Scored(3, 3, 9)},
    {"TabsAndBlankRuns", FileOf([] { return LogOf(SmallContacts(" \t \t")); }), Scored(3, 3, 9)},
    {"ByteOrderMark", FileOf([] { return "\xEF\xBB\xBF" + LogOf(SmallContacts()); }), Scored(3, 3, 9)},
    {"NonAsciiCallsAndItems",
     FileOf([] {
       return LogOf({ContactLine("14025", "\xC5\x9ETEFAN", "\xC3\x84"), ContactLine("14030", "\xE9\xE8", "\xFF")});
     }),
     Scored(2, 2, 4)},
    // Beyond any 16-bit count, and a score beyond 2,147,483,647.
    {"SeventyThousandMultipliersOnOneBand", FileOf([] { return LogOf(DistinctContacts(70'000)); }),
     Scored(70'000, 70'000, 4'900'000'000)},
    {"Folder", [](const ScratchDir& s) { return s.Folder("folder.log"); }, Rejected("it is a folder")},
    {"MissingFile", [](const ScratchDir& s) { return s.Path("missing.log"); }, Rejected(std::strerror(ENOENT))},
    {"NoReadPermission",
     [](const ScratchDir& s) {
       const std::string path = s.Write("secret.log", LogOf(SmallContacts()));
       ::chmod(path.c_str(), 0200);  // not even its owner may read it
       return path;
     },
     Rejected(std::strerror(EACCES)), true},
    {"FifoWithoutWriter",
     [](const ScratchDir& s) {
       const std::string path = s.Path("fifo.log");
       ::mkfifo(path.c_str(), 0666);
       return path;
     },
     Rejected("it is not a regular file")},
    // A huge file (here sparse: no disk used) is refused by its size before
    // any memory is set aside for it.
    {"SparseTerabyteFile", [](const ScratchDir& s) { return SparseFile(s, std::uint64_t{1} << 40); },
     Rejected(TooBig(std::uint64_t{1} << 40))},
    {"JustOverTheSizeLimit", [](const ScratchDir& s) { return SparseFile(s, kMaxLogBytes + 1); },
     Rejected(TooBig(kMaxLogBytes + 1))},
    // A file that tells no size but has content is read to its end.
    {"FileThatTellsNoSize", [](const ScratchDir&) { return std::string("/proc/self/status"); },
     RejectedEnding(", not START-OF-LOG:")},
    {"EndlessDevice", [](const ScratchDir&) { return std::string("/dev/zero"); }, Rejected("it is not a regular file")},
    {"EmptyDevice", [](const ScratchDir&) { return std::string("/dev/null"); }, Rejected("it is not a regular file")},
    {"TheScratchFolderItself", [](const ScratchDir& s) { return s.Root(); }, Rejected("it is a folder")},
    {"DanglingSymbolicLink",
     [](const ScratchDir& s) {
       const std::string path = s.Path("dangling.log");
       (void)::symlink("nowhere.log", path.c_str());
       return path;
     },
     Rejected(std::strerror(ENOENT))},
    {"NameTooLong", [](const ScratchDir& s) { return s.Path(std::string(300, 'n') + ".log"); },
     Rejected(std::strerror(ENAMETOOLONG))},
    {"SymbolicLinkLoop",
     [](const ScratchDir& s) {
       const std::string path = s.Path("loop.log");
       (void)::symlink("loop.log", path.c_str());
       return path;
     },
     Rejected(std::strerror(ELOOP))},
    {"SymbolicLinkToALog",
     [](const ScratchDir& s) {
       s.Write("real.log", LogOf(SmallContacts()));
       const std::string path = s.Path("link.log");
       (void)::symlink("real.log", path.c_str());
       return path;
     },
     Scored(3, 3, 9)},
};

using test::PrintTo;

// Fields a channel sends back: [0] "scored" or "rejected", [1] the message
// (core reason, stderr, caption), [2] other state, then the listing lines.
Fields Observe(Channel channel, const std::string& path) {
  switch (channel) {
    case Channel::kCore: {
      FileRead read = ReadWholeFile(path);
      if (!read.ok) return {"rejected", read.error, ""};
      const HeaderCheck header = CheckLogHeader(read.bytes);
      if (!header.valid) return {"rejected", header.reason, ""};
      const ScoreResult result = ScoreLog(read.bytes);
      Fields fields{"scored", "", ""};
      const std::vector<std::string> report = WriteReport(result);
      fields.insert(fields.end(), report.begin(), report.end());
      return fields;
    }
    case Channel::kCli:
    case Channel::kProgram: {
      int code = 0;
      std::string out, err;
      if (channel == Channel::kCli) {
        const char* argv[] = {"zelo-score", path.c_str()};
        std::ostringstream out_stream, err_stream;
        code = RunCli(2, argv, out_stream, err_stream);
        out = out_stream.str();
        err = err_stream.str();
      } else {
        const ProgramOutcome run = RunProgram(kScoreProgram.Path(), {path});
        code = run.code;
        out = run.out;
        err = run.err;
      }
      const std::string status = code == kExitScored ? "scored" : code == kExitRejected ? "rejected" : Numbered("exit ", code);
      Fields fields{status, err, ""};
      for (std::string& line : OutputLines(out)) fields.push_back(std::move(line));
      return fields;
    }
    case Channel::kWindow: {
      fakes::RecordingWindow window;
      Form1 form(window);
      form.cmdCommand1_Click();
      window.open_answers = {path};
      form.mnuFileOpen_Click();
      const std::string state = Numbered("step ", form.WorkflowStep()) + ", open " +
                                std::to_string(window.MenuEnabled(Menu::mnuFileOpen)) + ", save " +
                                std::to_string(window.MenuEnabled(Menu::mnuFileSave));
      Fields fields{form.WorkflowStep() == 3 ? "scored" : "rejected", window.Caption(Control::cmdCommand1), state};
      fields.insert(fields.end(), window.List().begin(), window.List().end());
      return fields;
    }
  }
  return {};
}

// The closing lines of a report with these totals.
std::vector<std::string> ClosingLines(const Expect& e) {
  const std::string rule(kReportRuleWidth, '_');
  return {std::string(kTotalQsosLabel) + Numbered(" ", e.qsos),
          std::string(kTotalMultsLabel) + Numbered(" ", e.mults) + ".", rule,
          std::string(kFinalScoreLabel) + Numbered(" ", e.score) + std::string(kFinalScoreEnd)};
}

// The message each channel gives for a rejected file.
std::string RejectionMessage(Channel channel, const std::string& path, const std::string& reason) {
  switch (channel) {
    case Channel::kCore: return reason;
    case Channel::kCli:
    case Channel::kProgram: return std::string(kInvalidLogMessage) + ": " + path + ": " + reason + "\n";
    case Channel::kWindow: return std::string(kInvalidLogPrompt);
  }
  return {};
}

void CheckOutcome(const InputCase& c, Channel channel) {
  ScratchDir s;
  const std::string path = c.make(s);
  ChildSetup setup;
  setup.as_nobody = c.as_nobody;
  const ChildResult child = RunInChild(setup, [&] { return Observe(channel, path); });
  ASSERT_TRUE(child.finished) << child.trouble;
  const Fields& f = child.fields;
  ASSERT_GE(f.size(), 3u);
  const Expect& e = c.expect;
  if (!e.scored) {
    EXPECT_EQ(f[0], "rejected") << f[1];
    if (!e.reason_is_ending) {
      EXPECT_EQ(f[1], RejectionMessage(channel, path, e.reason));
    } else if (channel == Channel::kWindow) {
      EXPECT_EQ(f[1], kInvalidLogPrompt);
    } else {
      EXPECT_TRUE(f[1].ends_with(e.reason + (channel == Channel::kCore ? "" : "\n"))) << f[1];
    }
    if (channel == Channel::kWindow) {
      EXPECT_EQ(f[2], "step 1, open 1, save 0");
      EXPECT_EQ(f.size(), 3u) << "a rejected file shows no listing";
    }
    if (channel == Channel::kCli || channel == Channel::kProgram) {
      EXPECT_EQ(f.size(), 3u) << "nothing printed";
    }
    return;
  }
  EXPECT_EQ(f[0], "scored") << f[1];
  if (channel == Channel::kCli || channel == Channel::kProgram) {
    EXPECT_EQ(f[1], "") << "nothing on stderr";
  }
  if (channel == Channel::kWindow) {
    EXPECT_EQ(f[1], kSavePrompt);
    EXPECT_EQ(f[2], "step 3, open 0, save 1");
  }
  const std::vector<std::string> report(f.begin() + 3, f.end());
  ASSERT_GE(report.size(), 20u);
  EXPECT_EQ(report.front(), std::string(kReportTitle) + e.my_call);
  const std::vector<std::string> closing(report.end() - 4, report.end());
  EXPECT_EQ(closing, ClosingLines(e));
}

class HostileInputTest : public testing::TestWithParam<std::tuple<InputCase, Channel>> {};

TEST_P(HostileInputTest, IsRejectedOrScoredAsStated) {
  CheckOutcome(std::get<0>(GetParam()), std::get<1>(GetParam()));
}

std::string CaseName(const testing::TestParamInfo<std::tuple<InputCase, Channel>>& info) {
  return std::string(std::get<0>(info.param).name) + std::string(ChannelName(std::get<1>(info.param)));
}

// Every file through the core, which decides the outcome; the command line
// (in-process and the real program) and the window pass a rejection and a
// score on. (zelo-score reads a FIFO as `cat` does: tests/cli.)
INSTANTIATE_TEST_SUITE_P(Files, HostileInputTest,
                         testing::Combine(testing::ValuesIn(kInputCases), testing::Values(Channel::kCore)),
                         CaseName);

std::vector<InputCase> CasesNamed(std::initializer_list<std::string_view> names) {
  std::vector<InputCase> cases;
  for (const InputCase& c : kInputCases) {
    if (std::find(names.begin(), names.end(), c.name) != names.end()) cases.push_back(c);
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(PassedOn, HostileInputTest,
                         testing::Combine(testing::ValuesIn(CasesNamed({"MissingFile", "CrOnly"})),
                                          testing::Values(Channel::kCli, Channel::kWindow, Channel::kProgram)),
                         CaseName);

// A log within the size limit that does not fit in the memory left is
// refused with the system's reason, through every way in, not a crash.
TEST(OutOfMemory, LogThatDoesNotFitIsRefused) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space: an address-space limit cannot be set";
#else
  ScratchDir s;
  const std::string path = SparseFile(s, kMaxLogBytes - 1);
  for (Channel channel : {Channel::kCore, Channel::kCli, Channel::kWindow}) {
    ChildSetup setup;
    setup.prepare = [] {
      // Room for what the process uses now and 64 MiB more: far less than the log.
      std::ifstream statm("/proc/self/statm");
      std::size_t pages = 0;
      statm >> pages;
      const rlim_t limit = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (rlim_t{64} << 20);
      const rlimit address_space{limit, limit};
      return ::setrlimit(RLIMIT_AS, &address_space) == 0 ? std::string() : std::string(std::strerror(errno));
    };
    const ChildResult child = RunInChild(setup, [&] { return Observe(channel, path); });
    ASSERT_TRUE(child.finished) << ChannelName(channel) << ": " << child.trouble;
    ASSERT_GE(child.fields.size(), 3u);
    EXPECT_EQ(child.fields[0], "rejected") << ChannelName(channel);
    EXPECT_EQ(child.fields[1], RejectionMessage(channel, path, std::strerror(ENOMEM))) << ChannelName(channel);
  }
#endif
}

// The rejection message of zelo-score quotes the start of the file; bytes a
// terminal would act on (escape sequences, carriage returns) must come out
// escaped, so a hostile file cannot rewrite the user's screen.
struct EscapeCase {
  std::string_view name;
  std::string bytes;
  std::string shown;  // how the start of the file appears in the message
};
const EscapeCase kEscapeCases[] = {
    {"TitleEscape", "\x1B]0;pwned\x07 3.0\r\n", "\\x1B]0;pwned\\x07 3.0"},
    {"ColourAndCursor", "\x1B[2J\x1B[31mred", "\\x1B[2J\\x1B[31mred"},
    {"CarriageReturnInQuotes", "\"START\rOF\"", "START\\rOF"},
    {"C1Control", "\xC2\x9B" "31m", "\\xC2\\x9B31m"},
};

class RejectionEscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(RejectionEscapeTest, ShowsTheFileStartEscaped) {
  ScratchDir s;
  const std::string path = s.Write("chosen.log", GetParam().bytes);
  const std::string expected = std::string(kInvalidLogMessage) + ": " + path + ": it begins with \"" +
                               GetParam().shown + "\", not START-OF-LOG:\n";
  const char* argv[] = {"zelo-score", path.c_str()};
  std::ostringstream out, err;
  EXPECT_EQ(RunCli(2, argv, out, err), kExitRejected);
  EXPECT_EQ(err.str(), expected);
  const ProgramOutcome run = RunProgram(kScoreProgram.Path(), {path});
  EXPECT_EQ(run.code, kExitRejected);
  EXPECT_EQ(run.err, expected);
}

INSTANTIATE_TEST_SUITE_P(Starts, RejectionEscapeTest, testing::ValuesIn(kEscapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo::test
