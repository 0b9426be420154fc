#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <future>
#include <span>
#include <string>
#include <vector>

#include "test_log.h"
#include "io/safe_save.h"

namespace zelo {
namespace {

namespace fs = std::filesystem;
using test::NamesIn;
using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;
using Names = std::vector<std::string>;

constexpr std::string_view kListing = "line one\r\nline two\r\n\r\n";
constexpr std::string_view kLogText = "START-OF-LOG: 3.0\r\nQSO: 14025 CW\r\nEND-OF-LOG:\r\n";

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(SaveListing, WritesANewFile) {
  ScratchDir dir;
  const fs::path out = dir / "report.NS";
  const SaveResult saved = SaveListing(out.string(), kListing);
  ASSERT_TRUE(saved.ok) << saved.reason;
  EXPECT_TRUE(saved.reason.empty());
  EXPECT_EQ(ReadBytes(out), kListing);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(out), 0666 & ~mask);
  EXPECT_EQ(dir.Names(), Names{"report.NS"});
}

TEST(SaveListing, ReplacesALongerFileEntirely) {
  ScratchDir dir;
  const fs::path out = dir / "report.NS";
  WriteBytes(out, std::string(5000, 'x'));
  ASSERT_TRUE(SaveListing(out.string(), kListing).ok);
  EXPECT_EQ(ReadBytes(out), kListing);
  ASSERT_TRUE(SaveListing(out.string(), "\r\n").ok);
  EXPECT_EQ(ReadBytes(out), "\r\n");
  EXPECT_EQ(dir.Names(), Names{"report.NS"});
}

TEST(SaveListing, KeepsPermissionBits) {
  for (mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0755}}) {
    ScratchDir dir;
    const fs::path out = dir / "report.NS";
    WriteBytes(out, "old");
    ASSERT_EQ(::chmod(out.c_str(), mode), 0);
    ASSERT_TRUE(SaveListing(out.string(), kListing).ok);
    EXPECT_EQ(ModeOf(out), mode) << std::oct << mode;
    EXPECT_EQ(ReadBytes(out), kListing);
  }
}

TEST(SaveListing, RefusesTheLogHoweverNamed) {
  ScratchDir dir;
  fs::create_directory(dir / "sub");
  const fs::path log = dir / "my.log";
  WriteBytes(log, kLogText);
  fs::create_symlink(log, dir / "soft.NS");
  fs::create_hard_link(log, dir / "hard.NS");
  fs::create_directory_symlink(dir.Root(), dir / "here");
  const std::string targets[] = {log.string(),
                                 (dir / "sub" / ".." / "my.log").string(),
                                 (dir / "." / "my.log").string(),
                                 dir.Root() + "//my.log",
                                 (dir / "soft.NS").string(),
                                 (dir / "hard.NS").string(),
                                 (dir / "here" / "my.log").string()};
  for (const std::string& target : targets) {
    const SaveResult saved = SaveListing(target, kListing, log.string());
    EXPECT_FALSE(saved.ok) << target;
    EXPECT_EQ(saved.reason, kSaveOntoLogReason) << target;
    EXPECT_EQ(ReadBytes(log), kLogText) << target;
  }
  // The log named through the link is refused as well.
  EXPECT_FALSE(SaveListing(log.string(), kListing, (dir / "soft.NS").string()).ok);
  EXPECT_TRUE(fs::is_symlink(dir / "soft.NS"));
  EXPECT_EQ(dir.Names(), (Names{"hard.NS", "here", "my.log", "soft.NS", "sub"}));
  // Another file beside the log is saved as usual.
  EXPECT_TRUE(SaveListing((dir / "other.NS").string(), kListing, log.string()).ok);
}

TEST(SaveListing, WritesThroughASymbolicLink) {
  ScratchDir dir;
  fs::create_directory(dir / "real");
  const fs::path target = dir / "real" / "report.NS";
  WriteBytes(target, "old content that is longer than the new");
  fs::create_symlink(target, dir / "link.NS");
  const SaveResult saved = SaveListing((dir / "link.NS").string(), kListing);
  ASSERT_TRUE(saved.ok) << saved.reason;
  EXPECT_TRUE(fs::is_symlink(dir / "link.NS"));
  EXPECT_EQ(fs::read_symlink(dir / "link.NS"), target);
  EXPECT_EQ(ReadBytes(target), kListing);
  EXPECT_EQ(dir.Names(), (Names{"link.NS", "real"}));
  EXPECT_EQ(NamesIn(dir / "real"), Names{"report.NS"});
}

// A file behind an open descriptor of this process, opened for appending as
// the shell's ">>" does, is written through that descriptor: appended to,
// neither truncated nor replaced; a log behind it is refused.
TEST(SaveListing, DescriptorIsWrittenThroughWhereItStands) {
  ScratchDir dir;
  const fs::path file = dir / "results.txt";
  WriteBytes(file, "before\n");
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  const std::string number = std::to_string(fd);
  fs::create_symlink("/dev/fd/" + number, dir / "link.NS");
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);
  std::string expected = "before\n";
  for (const std::string& name : {"/dev/fd/" + number, "/proc/self/fd/" + number, (dir / "link.NS").string()}) {
    const SaveResult saved = SaveListing(name, kListing);
    EXPECT_TRUE(saved.ok) << name << ": " << saved.reason;
    expected += kListing;
    EXPECT_EQ(ReadBytes(file), expected) << name;
  }
  const FileIdentity log{static_cast<std::uint64_t>(before.st_dev), static_cast<std::uint64_t>(before.st_ino)};
  const SaveResult onto_log = SaveListing("/dev/fd/" + number, kListing, std::span(&log, 1));
  EXPECT_EQ(onto_log.reason, kSaveOntoLogReason);
  ::close(fd);
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
  EXPECT_EQ(ReadBytes(file), expected);
  EXPECT_EQ(dir.Names(), (Names{"link.NS", "results.txt"}));
}

// As the shell's ">" does, a link to a file that does not exist yet creates it.
TEST(SaveListing, DanglingLinkCreatesItsTarget) {
  ScratchDir dir;
  fs::create_symlink("new.NS", dir / "link.NS");
  const SaveResult saved = SaveListing((dir / "link.NS").string(), kListing);
  ASSERT_TRUE(saved.ok) << saved.reason;
  EXPECT_TRUE(fs::is_symlink(dir / "link.NS"));
  EXPECT_EQ(ReadBytes(dir / "new.NS"), kListing);
  EXPECT_EQ(dir.Names(), (Names{"link.NS", "new.NS"}));
}

struct FailCase {
  std::string_view name;
  std::string_view relative;  // under the scratch folder
};
const FailCase kFailCases[] = {
    {"MissingFolder", "no-such-folder/report.NS"},
    {"PathIsAFolder", "folder"},
    {"FolderWithSlash", "folder/"},
    {"FileAsFolder", "plain.txt/report.NS"},
};

class SaveFailureTest : public testing::TestWithParam<FailCase> {};

TEST_P(SaveFailureTest, FailsNamingThePathAndLeavesNothing) {
  ScratchDir dir;
  fs::create_directory(dir / "folder");
  WriteBytes(dir / "plain.txt", "keep");
  const std::string path = (dir / GetParam().relative).string();
  const SaveResult saved = SaveListing(path, kListing);
  EXPECT_FALSE(saved.ok);
  EXPECT_TRUE(saved.reason.starts_with(path + ": ")) << saved.reason;
  EXPECT_GT(saved.reason.size(), path.size() + 2) << saved.reason;
  EXPECT_EQ(dir.Names(), (Names{"folder", "plain.txt"}));
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
  EXPECT_EQ(ReadBytes(dir / "plain.txt"), "keep");
}

INSTANTIATE_TEST_SUITE_P(Paths, SaveFailureTest, testing::ValuesIn(kFailCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveListing, EmptyNameIsRefused) {
  const SaveResult saved = SaveListing("", kListing);
  EXPECT_FALSE(saved.ok);
  EXPECT_FALSE(saved.reason.empty());
}

TEST(SaveListing, FailedWriteLeavesTheOldFile) {
  // A file-size limit makes the write fail part way, after the temporary
  // file exists: the old listing must survive and no temporary stays.
  ScratchDir dir;
  const fs::path out = dir / "report.NS";
  WriteBytes(out, "old listing");
  struct rlimit old_limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old_limit;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const SaveResult saved = SaveListing(out.string(), std::string(4096, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(saved.ok);
  EXPECT_TRUE(saved.reason.starts_with(out.string() + ": ")) << saved.reason;
  EXPECT_EQ(ReadBytes(out), "old listing");
  EXPECT_EQ(dir.Names(), Names{"report.NS"});
}

TEST(SaveListing, DeviceIsWrittenStraightThrough) {
  const SaveResult saved = SaveListing("/dev/null", kListing);
  EXPECT_TRUE(saved.ok) << saved.reason;
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(SaveListing, PipeWithoutReaderFailsAtOnce) {
  ScratchDir dir;
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto saving = std::async(std::launch::async, [&] { return SaveListing(fifo, kListing); });
  if (saving.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // free the blocked writer
    saving.wait();
    if (fd >= 0) ::close(fd);
    FAIL() << "saving into a pipe without a reader blocked";
  }
  const SaveResult saved = saving.get();
  EXPECT_FALSE(saved.ok);
  EXPECT_EQ(saved.reason, fifo + ": no program is reading from this FIFO");
  EXPECT_EQ(dir.Names(), Names{"pipe"});
}

}  // namespace
}  // namespace zelo

namespace zelo {
namespace {

// Whatever its name, a file that begins as a Cabrillo log is never replaced;
// a file that only looks alike is.
struct ExistingCase {
  const char* name;
  std::string_view bytes;
  bool refused;
};
const ExistingCase kExistingCases[] = {
    {"Log", "START-OF-LOG: 3.0\r\nQSO: 14025 CW\r\n", true},
    {"LogAfterBomAndBlankLines", "\xEF\xBB\xBF  \r\n\r\n\tSTART-OF-LOG: 2.0\n", true},
    {"LogWithoutAnything", "START-OF-LOG:", true},
    {"LowerCaseHeader", "start-of-log: 3.0\r\n", false},
    {"HeaderLater", "Score: 12\r\nSTART-OF-LOG: 3.0\r\n", false},
    {"EmptyFile", "", false},
    {"OldListing", "   ZELO Razezuz Score\r\n", false},
};

class ExistingFileTest : public testing::TestWithParam<ExistingCase> {};

TEST_P(ExistingFileTest, ALogIsNeverReplaced) {
  ScratchDir dir;
  const fs::path file = dir / "YO3AAA.txt";
  WriteBytes(file, GetParam().bytes);
  const fs::path link = dir / "link.NS";
  fs::create_symlink(file, link);
  for (const fs::path& target : {file, link}) {
    const SaveResult saved = SaveListing(target.string(), kListing);
    EXPECT_EQ(saved.ok, !GetParam().refused) << target;
    EXPECT_EQ(saved.a_log, GetParam().refused) << target;
    if (GetParam().refused) {
      EXPECT_EQ(saved.reason, target.string() + " is a Cabrillo log; not replaced: choose another name");
      EXPECT_EQ(ReadBytes(file), GetParam().bytes);
    } else {
      EXPECT_EQ(ReadBytes(file), kListing);
      WriteBytes(file, GetParam().bytes);
    }
  }
  EXPECT_EQ(dir.Names(), (Names{"YO3AAA.txt", "link.NS"}));
}
INSTANTIATE_TEST_SUITE_P(Files, ExistingFileTest, testing::ValuesIn(kExistingCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelo
