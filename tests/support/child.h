// Running a piece of a test in a forked child (as the user nobody, under a
// deadline and a memory limit, with a system call made to fail; its
// observations sent back through a pipe), and running a program.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelo::test {

// The unprivileged user and group the permission cases run as.
inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNoGroup = 65534;

// Makes every later call of system call `nr` in this process fail with
// `err`, through a seccomp filter (no privileges needed). Empty on success,
// else "skip: " and why.
inline std::string FailSyscall(long nr, int err) {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(nr), 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<std::uint32_t>(err) & SECCOMP_RET_DATA)),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
  if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
    return std::string("skip: no seccomp filter here: ") + std::strerror(errno);
  }
  return {};
}

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
  std::optional<std::pair<long, int>> failing_call;  // this system call fails with this errno
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
    if (failed.empty() && setup.failing_call) failed = FailSyscall(setup.failing_call->first, setup.failing_call->second);
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

// Where a program's standard output goes.
enum class Stdout { kCaptured, kDevFull, kClosedPipe, kFile };

// A program's standard input and output, as the shell's `<`, `>` and `>>`
// would set them.
struct ProgramIo {
  Stdout mode = Stdout::kCaptured;
  std::string in;       // standard input from this file; empty: /dev/null
  std::string out;      // Stdout::kFile: this file, created if need be
  bool append = false;  // Stdout::kFile: appended to, not truncated
};

// The outcome of running a program.
struct ProgramOutcome {
  int code = -1;  // -1 when a signal ended it
  std::string out;  // what it printed, when captured
  std::string err;
};

// An unnamed file in the temp folder, for a child's output: -1 on failure.
inline int AnonymousFile() {
  std::string name = (std::filesystem::temp_directory_path() / "zelo-output-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

inline std::string ReadFromStart(int fd) {
  std::string bytes;
  char buf[65536];
  off_t at = 0;
  for (;;) {
    const ssize_t n = ::pread(fd, buf, sizeof buf, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
    at += n;
  }
  return bytes;
}

// Runs `program` with `args` in the calling process's identity and limits,
// its standard streams set up as `io` says; stderr is captured. A program
// that blocks is ended after two minutes (the alarm stays set across exec).
inline ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                                 const ProgramIo& io) {
  const int err = AnonymousFile();
  int out_pipe[2] = {-1, -1};
  if (err < 0 || ::pipe2(out_pipe, O_CLOEXEC) != 0) return {-1, {}, "no files for the output"};
  if (io.mode != Stdout::kCaptured) {
    ::close(out_pipe[0]);  // nobody will ever read
    out_pipe[0] = -1;
  }
  std::cout.flush();
  std::cerr.flush();
  const pid_t pid = ::fork();
  if (pid == 0) {
    int stdout_fd = out_pipe[1];
    if (io.mode == Stdout::kDevFull) stdout_fd = ::open("/dev/full", O_WRONLY);
    if (io.mode == Stdout::kFile) {
      stdout_fd = ::open(io.out.c_str(), O_WRONLY | O_CREAT | (io.append ? O_APPEND : O_TRUNC), 0644);
    }
    const int stdin_fd = ::open(io.in.empty() ? "/dev/null" : io.in.c_str(), O_RDONLY);
    if (stdout_fd < 0 || stdin_fd < 0 || ::dup2(stdin_fd, 0) < 0 || ::dup2(stdout_fd, 1) < 0 || ::dup2(err, 2) < 0) {
      ::_exit(126);
    }
    ::alarm(120);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ProgramOutcome outcome;
  if (out_pipe[0] >= 0) {
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(out_pipe[0], buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      outcome.out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(out_pipe[0]);
  }
  int status = 0;
  while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  outcome.code = pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.err = ReadFromStart(err);
  ::close(err);
  return outcome;
}

inline ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                                 Stdout mode = Stdout::kCaptured) {
  return RunProgram(program, args, ProgramIo{mode, {}, {}, false});
}

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

}  // namespace zelo::test
