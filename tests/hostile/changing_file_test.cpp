// A log that changes under the program. The program reads the chosen file
// once, checks the header on the bytes it read and scores those same bytes;
// later changes to the file do not reach the run, the Summary view, the band
// views or a save. A file changed while it is being read may be read as a mix
// of its old and new bytes, but that mix is itself checked before it is
// scored, so an accepted text always holds the header and the report shown is
// always the report of the text held.
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "app/form1.h"
#include "cli/cli.h"
#include "fakes/recording_window.h"
#include "input/log_file.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "support/cases.h"
#include "support/child.h"
#include "support/contacts.h"
#include "support/files.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

using test::PrintTo;

std::string ValidLog() {
  return std::string(kHeader) + "\r\n" + ContactLine("14025", "YPZGO", "HR") + "\r\n" +
         ContactLine("7205", "YRET", "CL") + "\r\nEND-OF-LOG:\r\n";
}

// Opens `path` through File/Open of a fresh start.
void OpenInto(Form1& form, fakes::RecordingWindow& window, const std::string& path) {
  if (form.WorkflowStep() == 0) form.cmdCommand1_Click();
  window.open_answers = {path};
  form.mnuFileOpen_Click();
}

TEST(ChangingLog, RejectedFileReplacedByALogIsAcceptedOnTheNextOpen) {
  ScratchDir s;
  const std::string path = s.Write("chosen.log", "CALLSIGN: YO3ZELO\r\n");
  fakes::RecordingWindow window;
  Form1 form(window);
  OpenInto(form, window, path);
  ASSERT_EQ(form.WorkflowStep(), 1);
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kInvalidLogPrompt);

  s.Write("chosen.log", ValidLog());
  OpenInto(form, window, path);
  EXPECT_EQ(form.WorkflowStep(), 3);
  EXPECT_EQ(form.LogText(), ValidLog());
  EXPECT_EQ(window.List(), WriteReport(ScoreLog(ValidLog())));
}

// What happens to the file after it was accepted.
struct ChangeCase {
  std::string_view name;
  std::function<void(const std::string&)> change;
};
const ChangeCase kChangeCases[] = {
    {"TruncatedToNothing", [](const std::string& p) { (void)::truncate(p.c_str(), 0); }},
    {"TruncatedInTheMiddle", [](const std::string& p) { (void)::truncate(p.c_str(), 40); }},
    {"OverwrittenInPlace",
     [](const std::string& p) {
       const int fd = ::open(p.c_str(), O_WRONLY);
       (void)::pwrite(fd, "garbage!", 8, 0);
       ::close(fd);
     }},
    {"ReplacedByAnotherLog",
     [](const std::string& p) { WriteBytes(p, std::string(kHeader) + "\r\n" + ContactLine("28400", "ZZ9", "Q") + "\r\n"); }},
    {"Removed", [](const std::string& p) { ::unlink(p.c_str()); }},
};

class ChangedAfterReadTest : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedAfterReadTest, RunViewsAndSavesKeepWhatWasRead) {
  ScratchDir s;
  const std::string path = s.Write("chosen.log", ValidLog());
  fakes::RecordingWindow window;
  Form1 form(window);
  OpenInto(form, window, path);
  ASSERT_EQ(form.WorkflowStep(), 3);
  const std::vector<std::string> report = window.List();
  form.Option20_Click();
  const std::vector<std::string> band_view = window.List();

  GetParam().change(path);

  form.optnSum_Click();
  EXPECT_EQ(form.LogText(), ValidLog());
  EXPECT_EQ(window.List(), report);
  form.Option20_Click();
  EXPECT_EQ(window.List(), band_view);
  form.optnSum_Click();
  const std::string saved = s.Path("report.NS");
  window.save_answers = {saved};
  form.mnuFileSave_Click();
  EXPECT_EQ(window.Caption(Control::cmdCommand1), kExitPrompt);
  EXPECT_EQ(ReadBytes(saved), ListingBytes(report));
}

INSTANTIATE_TEST_SUITE_P(Changes, ChangedAfterReadTest, testing::ValuesIn(kChangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// How often a file is opened while `run` runs, counted by the kernel.
int OpensDuring(const std::string& path, const std::function<void()>& run) {
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  EXPECT_GE(watch, 0) << std::strerror(errno);
  // Closes are watched too: the kernel folds an event into an identical one
  // right before it, so two opens in a row would count as one.
  EXPECT_GE(::inotify_add_watch(watch, path.c_str(), IN_OPEN | IN_CLOSE), 0) << std::strerror(errno);
  run();
  int opens = 0;
  alignas(inotify_event) char buf[4096];
  for (ssize_t n; (n = ::read(watch, buf, sizeof buf)) > 0;) {
    for (char* at = buf; at < buf + n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      opens += (event->mask & IN_OPEN) != 0;
      at += sizeof(inotify_event) + event->len;
    }
  }
  ::close(watch);
  return opens;
}

// Every way of scoring a chosen log opens it exactly once: the header is
// checked on the bytes of that one read, never on a second look at a file
// that may have changed in between.
struct OneReadCase {
  std::string_view name;
  std::function<void(const std::string& log, const ScratchDir& s)> run;
};

void RunCommandLine(std::vector<std::string> args) {
  std::vector<const char*> argv{"zelo-score"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), kExitScored) << err.str();
}

const OneReadCase kOneReadCases[] = {
    {"WindowOpen",
     [](const std::string& log, const ScratchDir&) {
       fakes::RecordingWindow window;
       Form1 form(window);
       OpenInto(form, window, log);
       EXPECT_EQ(form.WorkflowStep(), 3);
       form.optnSum_Click();  // the Summary view scores the text held, without reading again
     }},
    {"CommandLineReport", [](const std::string& log, const ScratchDir&) { RunCommandLine({log}); }},
    {"CommandLineSave", [](const std::string& log, const ScratchDir& s) { RunCommandLine({log, "-o", s.Path("out.NS")}); }},
    {"CommandLineJson", [](const std::string& log, const ScratchDir&) { RunCommandLine({"--json", log}); }},
    {"CommandLineExplain", [](const std::string& log, const ScratchDir&) { RunCommandLine({"--explain", log}); }},
};

class OneReadTest : public testing::TestWithParam<OneReadCase> {};

TEST_P(OneReadTest, OpensTheLogOnce) {
  ScratchDir s;
  const std::string path = s.Write("chosen.log", ValidLog());
  EXPECT_EQ(OpensDuring(path, [&] { GetParam().run(path, s); }), 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, OneReadTest, testing::ValuesIn(kOneReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// While one thread keeps rewriting the file in place (a log, then text
// without the header, then a cut version), fresh windows open it again and
// again: whatever each one accepted holds the header and shows its report.
TEST(ChangingLog, ChangingWhileOpenedNeverScoresUncheckedBytes) {
  ScratchDir s;
  const std::string log = ValidLog();
  std::string other(log.size(), 'x');
  other.replace(0, 10, "NOT-A-LOG:");
  const std::string path = s.Write("chosen.log", log);

  std::atomic<bool> stop{false};
  std::thread rewriter([&] {
    const int fd = ::open(path.c_str(), O_WRONLY);
    for (unsigned i = 0; !stop.load(); ++i) {
      const std::string& bytes = i % 2 == 0 ? other : log;
      (void)::pwrite(fd, bytes.data(), bytes.size(), 0);
      if (i % 3 == 0) (void)::ftruncate(fd, static_cast<off_t>(log.size() / 2));
    }
    ::close(fd);
  });
  int accepted = 0, rejected = 0;
  for (int i = 0; i < 400; ++i) {
    fakes::RecordingWindow window;
    Form1 form(window);
    OpenInto(form, window, path);
    if (form.WorkflowStep() != 3) {
      ++rejected;
      EXPECT_EQ(window.Caption(Control::cmdCommand1), kInvalidLogPrompt);
      continue;
    }
    ++accepted;
    EXPECT_TRUE(CheckLogHeader(form.LogText()).valid) << "accepted text without the header";
    EXPECT_EQ(window.List(), WriteReport(ScoreLog(form.LogText())));
  }
  stop = true;
  rewriter.join();
  EXPECT_EQ(accepted + rejected, 400);
}

}  // namespace
}  // namespace zelo::test
