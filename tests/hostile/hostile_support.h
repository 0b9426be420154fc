// Shared by the hostile-input and save-fault tests: a scratch folder that an
// unprivileged user may use, running a piece of a test in a forked child
// (as the user nobody, under a deadline, with its observations sent back
// through a pipe), and logs built in the test.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace zelo::hostile {

// The unprivileged user and group the permission cases run as.
inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNoGroup = 65534;

// Test cases print as their name (declare `using hostile::PrintTo;` beside
// cases kept in an unnamed namespace).
template <typename Case>
  requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// The bytes of a regular file; empty for anything else or when unreadable.
inline std::string ReadBytes(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The names in a folder, sorted; hidden ones (a stray temporary file) included.
inline std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh folder that the user nobody may enter and write, removed with
// everything in it afterwards.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelo-hostile-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    root_ = pattern;
    ::chmod(root_.c_str(), 0777);
  }
  ~Scratch() {
    // Folders made read-only by a test must be writable again to be removed.
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0777);
    }
    std::filesystem::remove_all(root_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::string& Root() const { return root_; }
  std::string Path(std::string_view name) const { return root_ + "/" + std::string(name); }
  // Writes `bytes` as `name`, readable by everyone, and gives its path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = Path(name);
    WriteBytes(path, bytes);
    ::chmod(path.c_str(), 0644);
    return path;
  }
  std::string Folder(std::string_view name, mode_t mode = 0777) const {
    const std::string path = Path(name);
    ::mkdir(path.c_str(), mode);
    ::chmod(path.c_str(), mode);
    return path;
  }

 private:
  std::string root_;
};

// What a child sends back: a list of byte strings.
using Fields = std::vector<std::string>;

inline void SendFields(int fd, const Fields& fields) {
  std::string wire;
  for (const std::string& f : fields) {
    const std::uint64_t n = f.size();
    wire.append(reinterpret_cast<const char*>(&n), sizeof n);
    wire += f;
  }
  std::string_view rest = wire;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
}

inline Fields ParseFields(std::string_view wire) {
  Fields fields;
  while (wire.size() >= sizeof(std::uint64_t)) {
    std::uint64_t n = 0;
    std::memcpy(&n, wire.data(), sizeof n);
    wire.remove_prefix(sizeof n);
    if (n > wire.size()) break;
    fields.emplace_back(wire.substr(0, n));
    wire.remove_prefix(n);
  }
  return fields;
}

// How a child is set up before its work runs.
struct ChildSetup {
  // Runs first, with the test's own privileges; a non-empty answer stops
  // the child and becomes its trouble ("skip: ..." for a case that cannot
  // be set up here).
  std::function<std::string()> prepare;
  bool as_nobody = false;                     // drop to nobody/nogroup (when running as root)
  std::optional<rlim_t> file_size_limit;      // RLIMIT_FSIZE, with SIGXFSZ ignored
  unsigned deadline_seconds = 120;            // the child is killed (SIGALRM) after this
  std::size_t memory_limit_bytes = std::size_t{3} << 30;  // and when its resident memory grows past this
};

// The resident memory of a process, from /proc; 0 when it cannot be read.
inline std::size_t ResidentBytes(pid_t pid) {
  std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
  std::size_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// The outcome of a child: its fields, or why there are none.
struct ChildResult {
  bool finished = false;  // exited normally after sending its fields
  std::string trouble;    // what went wrong otherwise (signal, setup failure)
  Fields fields;
};

// Drops to the user nobody: supplementary groups, then group, then user.
// Empty on success, else what failed.
inline std::string DropToNobody() {
  if (::geteuid() != 0) return {};  // already unprivileged: permissions apply as they are
  if (::setgroups(0, nullptr) != 0) return std::string("setgroups: ") + std::strerror(errno);
  if (::setgid(kNoGroup) != 0) return std::string("setgid: ") + std::strerror(errno);
  if (::setuid(kNobody) != 0) return std::string("setuid: ") + std::strerror(errno);
  return {};
}

// Runs `work` in a forked child set up as asked and returns what it sent.
// The child never returns into the test framework: it sends and _exits.
inline ChildResult RunInChild(const ChildSetup& setup, const std::function<Fields()>& work) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return {false, std::string("pipe: ") + std::strerror(errno), {}};
  std::cout.flush();
  std::cerr.flush();
  const pid_t pid = ::fork();
  if (pid < 0) return {false, std::string("fork: ") + std::strerror(errno), {}};
  if (pid == 0) {
    ::close(pipe_fds[0]);
    ::alarm(setup.deadline_seconds);
    std::string failed;
    if (setup.prepare) failed = setup.prepare();
    if (failed.empty() && setup.as_nobody) failed = DropToNobody();
    if (failed.empty() && setup.file_size_limit) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit{};
      ::getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = *setup.file_size_limit;
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) failed = std::string("setrlimit: ") + std::strerror(errno);
    }
    if (!failed.empty()) {
      SendFields(pipe_fds[1], {failed.starts_with("skip: ") ? failed : "setup failed: " + failed});
      ::_exit(3);
    }
    // Nothing may escape into the test framework's copy in this process.
    try {
      SendFields(pipe_fds[1], work());
    } catch (const std::exception& e) {
      SendFields(pipe_fds[1], {std::string("the child threw: ") + e.what()});
      ::_exit(4);
    } catch (...) {
      SendFields(pipe_fds[1], {"the child threw"});
      ::_exit(4);
    }
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  std::string wire;
  char buf[65536];
  bool too_big = false;
  for (;;) {
    // Wake up now and then to stop a child that eats memory without end.
    pollfd ready{pipe_fds[0], POLLIN, 0};
    const int polled = ::poll(&ready, 1, 100);
    if (polled == 0) {
      if (ResidentBytes(pid) > setup.memory_limit_bytes) {
        too_big = true;
        ::kill(pid, SIGKILL);
      }
      continue;
    }
    const ssize_t n = ::read(pipe_fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    wire.append(buf, static_cast<std::size_t>(n));
  }
  ::close(pipe_fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ChildResult result;
  result.fields = ParseFields(wire);
  if (too_big) {
    result.trouble = "the child used more than " + std::to_string(setup.memory_limit_bytes >> 20) + " MB";
  } else if (WIFSIGNALED(status)) {
    result.trouble = WTERMSIG(status) == SIGALRM ? "the child blocked past its deadline"
                                                  : "the child was killed by signal " + std::to_string(WTERMSIG(status));
  } else if (WEXITSTATUS(status) != 0) {
    result.trouble = result.fields.empty() ? "the child exited " + std::to_string(WEXITSTATUS(status))
                                           : result.fields.front();
  } else {
    result.finished = true;
  }
  return result;
}

// The outcome of running zelo-score as a separate program.
struct ProgramOutcome {
  int code = -1;  // -1 when a signal ended it
  std::string out;
  std::string err;
};

#ifdef ZELO_SCORE_BIN
// zelo-score where the user nobody can run it. A build inside a folder that
// only its owner may enter (a clone under /root, mode 700) is out of nobody's
// reach, so when the tests run as root the program is copied once, at
// start-up and before any child drops to nobody, into a folder that everyone
// may enter; the copy goes when the test program ends.
class ScoreProgram {
 public:
  ScoreProgram() : path_(ZELO_SCORE_BIN) {
    if (::geteuid() != 0) return;
    std::string folder = (std::filesystem::temp_directory_path() / "zelo-program-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) return;
    const std::string copy = folder + "/zelo-score";
    std::error_code ec;
    std::filesystem::copy_file(ZELO_SCORE_BIN, copy, ec);
    if (ec || ::chmod(folder.c_str(), 0755) != 0 || ::chmod(copy.c_str(), 0755) != 0) {
      std::filesystem::remove_all(folder, ec);
      return;
    }
    folder_ = folder;
    path_ = copy;
  }
  ScoreProgram(const ScoreProgram&) = delete;
  ScoreProgram& operator=(const ScoreProgram&) = delete;
  ~ScoreProgram() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string folder_;
  std::string path_;
};
inline const ScoreProgram kScoreProgram;
#endif

// Runs the zelo-score program with `args` (in the calling process's
// identity and limits), stdout and stderr captured through files in `folder`.
inline ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                                 const std::string& capture_folder) {
  const std::string out_path = capture_folder + "/.program-out";
  const std::string err_path = capture_folder + "/.program-err";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) ::_exit(126);
    ::dup2(out, 1);
    ::dup2(err, 2);
    // A program that blocks must not outlive the test that started it: the
    // alarm stays set across exec and ends it.
    ::alarm(120);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  ProgramOutcome outcome;
  outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = ReadBytes(out_path);
  outcome.err = ReadBytes(err_path);
  ::unlink(out_path.c_str());
  ::unlink(err_path.c_str());
  return outcome;
}

// Splits printed output into its lines (each ended by LF).
inline std::vector<std::string> OutputLines(std::string_view out) {
  std::vector<std::string> lines;
  while (!out.empty()) {
    const std::size_t lf = out.find('\n');
    lines.emplace_back(out.substr(0, lf));
    if (lf == std::string_view::npos) break;
    out.remove_prefix(lf + 1);
  }
  return lines;
}

// One contact line with every field the scoring reads; field 11 is 599, so
// the item (field 13) counts.
inline std::string ContactLine(std::string_view freq, std::string_view call, std::string_view item,
                               std::string_view sep = " ") {
  std::string line = "QSO:";
  for (std::string_view field : {freq, std::string_view("CW"), std::string_view("2026-02-14"),
                                 std::string_view("0000"), std::string_view("YO3ZELO"), std::string_view("599"),
                                 std::string_view("0001"), std::string_view("BU"), call, std::string_view("599"),
                                 std::string_view("0098"), item}) {
    line += sep;
    line += field;
  }
  return line;
}

inline constexpr std::string_view kHeader = "START-OF-LOG: 3.0";

// A text followed by a number ("K" and 12 give "K12").
inline std::string Numbered(std::string_view text, long long n) {
  std::string out(text);
  out += std::to_string(n);
  return out;
}

}  // namespace zelo::hostile
