// A save either completes or leaves everything as it was: for every fault
// below, through SaveListing, any existing file keeps its bytes, no
// temporary file stays behind, and the reason is told. zelo-score -o
// (in-process and the real program) and the window's File/Save pass a
// refusal on ("Listing NOT saved: " on the prompt line; on stderr with exit
// status 1).
//
// Each case runs in a forked child: the permission cases as the user nobody
// (root ignores permissions), the size limit under RLIMIT_FSIZE, the full
// file system on a 64 KiB tmpfs mounted in a private mount namespace, which
// disappears with the child, and a failing fsync or fchmod through a seccomp
// filter.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <string>
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
#include "io/safe_save.h"
#include "views/listing.h"

namespace zelo::test {
namespace {

// Twenty contacts on 20 m, each with its own 4000-byte item: the report's
// two entry lines make a listing of about 80 KB, more than the small file
// system and the size limit below allow.
std::string BigListingLog() {
  std::string log = std::string(kHeader) + "\r\n";
  for (int i = 0; i < 20; ++i) {
    log += ContactLine("14025", Numbered("K", i), std::string(4000, static_cast<char>('A' + i))) + "\r\n";
  }
  return log + "END-OF-LOG:\r\n";
}

const std::string kOldBytes = "an older listing\r\n\r\n";

// Where a case saves: the chosen name, and the folder that must end as it began.
struct Target {
  std::string path;
  std::string folder;
  std::string existing;  // the file whose bytes must survive ("" if none)
};

struct Places {
  const ScratchDir& s;
  std::string log;  // the log, readable by everyone
  std::string out;  // a folder for the targets
};

struct SaveFaultCase {
  std::string_view name;
  std::function<Target(const Places&)> make;  // runs in the child, before any privilege is dropped
  std::function<std::string(const Target&)> reason;  // empty reason: the save succeeds
  bool as_nobody = false;
  std::optional<rlim_t> file_size_limit;
  // `out` is a 64 KiB tmpfs, mounted read-only once the case has made its files.
  bool small_file_system = false;
  bool read_only = false;
  std::optional<std::pair<long, int>> failing_call = std::nullopt;  // this system call fails with this errno
};

std::function<std::string(const Target&)> SystemReason(int err) {
  return [err](const Target& t) { return t.path + ": " + std::strerror(err); };
}
std::string OntoLog(const Target&) { return std::string(kSaveOntoLogReason); }
// No file may be created in the chosen file's folder: the folder is named.
std::string FolderNotWritable(const Target& t) {
  return t.path + ": cannot create a file in the folder " + t.path.substr(0, t.path.rfind('/')) + ": " +
         std::strerror(EACCES);
}

// An old file in `out`, with the given mode.
Target OldFile(const Places& p, mode_t mode) {
  const std::string path = p.out + "/listing.NS";
  WriteBytes(path, kOldBytes);
  ::chmod(path.c_str(), mode);
  return {path, p.out, path};
}

const SaveFaultCase kSaveFaultCases[] = {
    {"WritableFileIsReplaced", [](const Places& p) { return OldFile(p, 0666); }, nullptr, false, std::nullopt},
    {"MissingFolder", [](const Places& p) { return Target{p.out + "/no-such-folder/listing.NS", p.out, ""}; },
     SystemReason(ENOENT), false, std::nullopt},
    {"FolderWithoutWritePermission",
     [](const Places& p) {
       ::chmod(p.out.c_str(), 0555);
       return Target{p.out + "/listing.NS", p.out, ""};
     },
     FolderNotWritable, true, std::nullopt},
    {"WritableFileInAFolderWithoutWritePermission",
     [](const Places& p) {
       Target t = OldFile(p, 0666);
       ::chmod(p.out.c_str(), 0555);
       return t;
     },
     FolderNotWritable, true, std::nullopt},
    {"FileWithoutWritePermission", [](const Places& p) { return OldFile(p, 0444); }, SystemReason(EACCES), true, std::nullopt},
    {"PathIsAFolder",
     [](const Places& p) {
       ::mkdir((p.out + "/folder.NS").c_str(), 0777);
       return Target{p.out + "/folder.NS", p.out, ""};
     },
     SystemReason(EISDIR), false, std::nullopt},
    {"FileSizeLimit", [](const Places& p) { return OldFile(p, 0666); }, SystemReason(EFBIG), false, 4096},
    {"FullFileSystem", [](const Places& p) { return OldFile(p, 0666); }, SystemReason(ENOSPC), false, std::nullopt,
     true},
    {"ReadOnlyFileSystem", [](const Places& p) { return OldFile(p, 0666); }, SystemReason(EROFS), false,
     std::nullopt, true, true},
    {"DeviceThatIsFull", [](const Places& p) { return Target{"/dev/full", p.out, ""}; }, SystemReason(ENOSPC), false,
     std::nullopt},
    {"NameTooLong",
     [](const Places& p) { return Target{p.out + "/" + std::string(300, 'n') + ".NS", p.out, ""}; },
     SystemReason(ENAMETOOLONG), false, std::nullopt},
    {"FsyncFails", [](const Places& p) { return OldFile(p, 0666); }, SystemReason(EIO), false, std::nullopt, false,
     false, std::pair{long{SYS_fsync}, EIO}},
    {"FchmodFails", [](const Places& p) { return OldFile(p, 0640); }, SystemReason(EPERM), false, std::nullopt, false,
     false, std::pair{long{SYS_fchmod}, EPERM}},
    {"LogByAnotherSpelling", [](const Places& p) { return Target{p.s.Root() + "/./log.txt", p.s.Root(), p.log}; },
     OntoLog, false, std::nullopt},
    {"LogThroughASymbolicLink",
     [](const Places& p) {
       (void)::symlink(p.log.c_str(), (p.out + "/link.NS").c_str());
       return Target{p.out + "/link.NS", p.out, p.log};
     },
     OntoLog, false, std::nullopt},
    {"LogThroughAHardLink",
     [](const Places& p) {
       (void)::link(p.log.c_str(), (p.out + "/hard.NS").c_str());
       return Target{p.out + "/hard.NS", p.out, p.log};
     },
     OntoLog, false, std::nullopt},
};

using test::PrintTo;

// Mounts a 64 KiB tmpfs on `folder` in a mount namespace of this process alone.
std::string MountSmallFileSystem(const std::string& folder) {
  if (::unshare(CLONE_NEWNS) != 0) return std::string("skip: no private mount namespace: ") + std::strerror(errno);
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return std::string("skip: mounts cannot be made private: ") + std::strerror(errno);
  }
  if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k,mode=0777") != 0) {
    return std::string("skip: a tmpfs cannot be mounted here: ") + std::strerror(errno);
  }
  return {};
}

// What the child saw: [0] saved or not, [1] the message, [2] whether the
// rest of the window stayed as it was, [3] whether a saved file holds the
// listing, [4]/[5] the folder's names before/after, [6] the existing file's
// bytes after ("<none>" when there is none), [7] the chosen path, [8] the
// existing file's path.
Fields SaveAndObserve(Channel channel, const Target& t, const Places& p, const std::vector<std::string>& names_before) {
  bool saved = false;
  std::string message, window_kept = "n/a";
  std::string listing;  // what should have been written
  switch (channel) {
    case Channel::kCore: {
      const FileRead read = ReadWholeFile(p.log);
      listing = ListingBytes(WriteReport(ScoreLog(read.bytes)));
      const SaveResult result = SaveListing(t.path, listing, p.log);
      saved = result.ok;
      message = result.reason;
      break;
    }
    case Channel::kCli:
    case Channel::kProgram: {
      listing = ListingBytes(WriteReport(ScoreLog(ReadWholeFile(p.log).bytes)));
      int code = 0;
      std::string out, err;
      if (channel == Channel::kCli) {
        const char* argv[] = {"zelo-score", p.log.c_str(), "-o", t.path.c_str()};
        std::ostringstream out_stream, err_stream;
        code = RunCli(4, argv, out_stream, err_stream);
        out = out_stream.str();
        err = err_stream.str();
      } else {
        const ProgramOutcome run = RunProgram(kScoreProgram.Path(), {p.log, "-o", t.path});
        code = run.code;
        out = run.out;
        err = run.err;
      }
      saved = code == kExitScored;
      message = Numbered("exit ", code) + ", stdout \"" + out + "\", stderr " + err;
      break;
    }
    case Channel::kWindow: {
      fakes::RecordingWindow window;
      Form1 form(window);
      form.cmdCommand1_Click();
      window.open_answers = {p.log};
      form.mnuFileOpen_Click();
      listing = ListingBytes(window.List());
      fakes::WindowView before = window.View();
      window.save_answers = {t.path};
      form.mnuFileSave_Click();
      fakes::WindowView after = window.View();
      message = window.Caption(Control::cmdCommand1);
      saved = message == kExitPrompt;
      before.captions.erase(Control::cmdCommand1);
      after.captions.erase(Control::cmdCommand1);
      window_kept = before == after && form.WorkflowStep() == 3 ? "kept" : "changed";
      break;
    }
  }
  const std::string written = ReadBytes(t.path);
  std::string names_after;
  for (const std::string& n : NamesIn(t.folder)) names_after += n + "\n";
  std::string names;
  for (const std::string& n : names_before) names += n + "\n";
  return {saved ? "saved" : "not saved",
          message,
          window_kept,
          saved && written == listing ? "holds the listing" : "does not hold the listing",
          names,
          names_after,
          t.existing.empty() ? "<none>" : ReadBytes(t.existing),
          t.path,
          t.existing};
}

// The message a channel gives for a refused save with this reason.
std::string RefusalMessage(Channel channel, const std::string& reason) {
  switch (channel) {
    case Channel::kCore: return reason;
    case Channel::kCli:
    case Channel::kProgram: return "exit 1, stdout \"\", stderr " + std::string(kListingNotSaved) + reason + "\n";
    case Channel::kWindow: return std::string(kSaveFailedPrefix) + reason;
  }
  return {};
}

class SaveFaultTest : public testing::TestWithParam<std::tuple<SaveFaultCase, Channel>> {};

TEST_P(SaveFaultTest, CompletesOrLeavesEverythingAsItWas) {
  const SaveFaultCase& c = std::get<0>(GetParam());
  const Channel channel = std::get<1>(GetParam());
  ScratchDir s;
  const Places places{s, s.Write("log.txt", BigListingLog()), s.Folder("out")};
  Target target;
  std::vector<std::string> names_before;
  ChildSetup setup;
  setup.prepare = [&]() -> std::string {
    if (c.small_file_system) {
      if (std::string failed = MountSmallFileSystem(places.out); !failed.empty()) return failed;
    }
    target = c.make(places);
    names_before = NamesIn(target.folder);
    if (c.read_only && ::mount(nullptr, places.out.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
      return std::string("skip: the tmpfs cannot be made read-only: ") + std::strerror(errno);
    }
    return {};
  };
  setup.as_nobody = c.as_nobody;
  setup.file_size_limit = c.file_size_limit;
  setup.failing_call = c.failing_call;
  const ChildResult child = RunInChild(setup, [&] { return SaveAndObserve(channel, target, places, names_before); });
  if (child.trouble.starts_with("skip: ")) GTEST_SKIP() << child.trouble;
  ASSERT_TRUE(child.finished) << child.trouble;
  const Fields& f = child.fields;
  ASSERT_EQ(f.size(), 9u);
  EXPECT_EQ(f[5], f[4]) << "the folder holds the same names after the save (no temporary file left)";
  if (channel == Channel::kWindow) {
    EXPECT_EQ(f[2], "kept") << "only the prompt line may change";
  }
  if (!c.reason) {
    EXPECT_EQ(f[0], "saved") << f[1];
    EXPECT_EQ(f[3], "holds the listing");
    EXPECT_NE(f[6], kOldBytes);
    return;
  }
  EXPECT_EQ(f[0], "not saved");
  const Target used{f[7], "", f[8]};
  EXPECT_EQ(f[1], RefusalMessage(channel, c.reason(used)));
  if (!used.existing.empty()) {
    EXPECT_EQ(f[6], used.existing == places.log ? BigListingLog() : kOldBytes) << "the existing file keeps its bytes";
  }
}

std::string CaseName(const testing::TestParamInfo<std::tuple<SaveFaultCase, Channel>>& info) {
  return std::string(std::get<0>(info.param).name) + std::string(ChannelName(std::get<1>(info.param)));
}

// Every fault through the core, which decides the outcome; the command line
// (in-process and the real program) and the window pass a refusal on, one
// row each.
INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest,
                         testing::Combine(testing::ValuesIn(kSaveFaultCases), testing::Values(Channel::kCore)),
                         CaseName);

const SaveFaultCase& CaseNamed(std::string_view name) {
  for (const SaveFaultCase& c : kSaveFaultCases) {
    if (c.name == name) return c;
  }
  std::abort();
}

INSTANTIATE_TEST_SUITE_P(PassedOn, SaveFaultTest,
                         testing::Combine(testing::Values(CaseNamed("FileWithoutWritePermission")),
                                          testing::Values(Channel::kCli, Channel::kWindow, Channel::kProgram)),
                         CaseName);

}  // namespace
}  // namespace zelo::test
