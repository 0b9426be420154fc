#include "io/safe_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <random>

#include "input/log_file.h"
#include "input/unique_fd.h"

namespace zelo {
namespace {

// More symbolic links in a row than this are taken for a loop.
constexpr int kMaxLinkHops = 40;

SaveResult Failure(const std::string& path, int err) {
  return {false, path + ": " + std::strerror(err)};
}

// Writes all of `bytes` to `fd`; false with errno set when it cannot.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A save into a folder where no file may be created names that folder: the
// file itself may well be writable, or not exist yet.
SaveResult FolderNotWritable(const std::string& path, const std::string& folder, int err) {
  std::string shown = folder;
  if (char* resolved = ::realpath(folder.c_str(), nullptr)) {
    shown = resolved;
    std::free(resolved);
  }
  return {false, path + ": cannot create a file in the folder " + shown + ": " + std::strerror(err)};
}

// The target of a symbolic link, as written in the link, made a path.
std::optional<std::string> LinkTarget(const std::string& path) {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
  if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return std::nullopt;
  std::string next(buf, static_cast<std::size_t>(n));
  if (next.front() == '/') return next;
  return FolderOf(path) + "/" + next;
}

// The file a save replaces or creates: `path` with its symbolic links
// followed, also to a file that does not exist yet, as the shell's ">" does.
std::string SaveTarget(const std::string& path) {
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    std::string target = resolved;
    std::free(resolved);
    return target;
  }
  std::string target = path;
  for (int hops = 0; hops < kMaxLinkHops; ++hops) {
    std::optional<std::string> next = LinkTarget(target);
    if (!next) return target;
    target = std::move(*next);
  }
  return path;  // a loop of links: the save fails on the name as given
}

bool IsNumber(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The descriptor a name of this process's descriptors stands for:
// /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N.
std::optional<int> DescriptorName(const std::string& path) {
  if (path == "/dev/stdin") return 0;
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (std::string_view folder : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"}) {
    if (path.starts_with(folder) && IsNumber(std::string_view(path).substr(folder.size()))) {
      return std::stoi(path.substr(folder.size()));
    }
  }
  return std::nullopt;
}

// The open descriptor of this process that `path` names, directly, through
// the folder of descriptors under another name, or through symbolic links.
std::optional<int> NamedDescriptor(std::string path) {
  const std::string own_folder = "/proc/" + std::to_string(::getpid()) + "/";
  for (int hops = 0; hops < kMaxLinkHops; ++hops) {
    if (const std::optional<int> fd = DescriptorName(path)) return fd;
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (char* resolved = ::realpath(FolderOf(path).c_str(), nullptr)) {
      const std::string folder = resolved;
      std::free(resolved);
      // /proc/PID/fd, or a thread's /proc/PID/task/TID/fd.
      if (IsNumber(name) && folder.starts_with(own_folder) && folder.ends_with("/fd") &&
          (folder == own_folder + "fd" || folder.starts_with(own_folder + "task/"))) {
        return std::stoi(name);
      }
    }
    std::optional<std::string> next = LinkTarget(path);
    if (!next) return std::nullopt;
    path = std::move(*next);
  }
  return std::nullopt;
}

FileIdentity IdentityOfStat(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool IsALog(const FileIdentity& file, std::span<const FileIdentity> logs) {
  return std::find(logs.begin(), logs.end(), file) != logs.end();
}

// An open descriptor takes the bytes where the shell's redirection left it:
// at its offset, appending when opened with ">>", never replaced.
SaveResult WriteThroughDescriptor(const std::string& path, int fd, std::string_view bytes,
                                  std::span<const FileIdentity> logs) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Failure(path, errno);
  if (IsALog(IdentityOfStat(st), logs)) return {false, std::string(kSaveOntoLogReason), true};
  if (S_ISDIR(st.st_mode)) return Failure(path, EISDIR);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && (flags & O_ACCMODE) == O_RDONLY) return {false, path + ": it is open for reading only"};
  if (!WriteAll(fd, bytes)) return Failure(path, errno);
  return {true, {}};
}

// Devices and pipes cannot be replaced; they take the bytes as they come.
SaveResult WriteStraightThrough(const std::string& path, std::string_view bytes) {
  // O_NONBLOCK: a FIFO that nobody reads fails at once instead of hanging.
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) {
    const int err = errno;
    struct stat st {};
    if (err == ENXIO && ::stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) {
      return {false, path + ": no program is reading from this FIFO"};
    }
    return Failure(path, err);
  }
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
  if (!WriteAll(fd.Get(), bytes) || !fd.Close()) return Failure(path, errno);
  return {true, {}};
}

// A start for temporary file names that another process is unlikely to pick.
std::uint64_t NameSalt() {
  static std::atomic<std::uint64_t> calls{0};
  std::uint64_t salt = static_cast<std::uint64_t>(::getpid()) << 32 ^ ++calls;
  salt ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  try {
    std::random_device random;
    salt ^= static_cast<std::uint64_t>(random()) << 16;
  } catch (const std::exception&) {
    // The clock and the count alone still give names that differ.
  }
  return salt;
}

// A new file beside the one it is to replace, removed again unless it was
// renamed into place.
class TempFile {
 public:
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  // Creates a file named `folder`/.zelo-save-XXXXXXXX that did not exist.
  // `mode` goes through the umask (and a folder's default ACL) as for any
  // new file; false with errno set when no such file can be made.
  bool Create(const std::string& folder, mode_t mode) {
    std::uint64_t salt = NameSalt();
    constexpr int kTries = 100;
    for (int attempt = 0; attempt < kTries; ++attempt) {
      salt = salt * 6364136223846793005ULL + 1442695040888963407ULL;
      char name[32];
      std::snprintf(name, sizeof name, "/.zelo-save-%08x", static_cast<unsigned>(salt >> 32));
      std::string path = folder + name;
      fd_.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
      if (fd_) {
        path_ = std::move(path);
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;  // errno is EEXIST
  }

  int Fd() const { return fd_.Get(); }

  // Closes the file and renames it to `target`; false with errno set when
  // either fails (the file is then removed when this goes).
  bool Commit(const std::string& target) {
    if (!fd_.Close() || ::rename(path_.c_str(), target.c_str()) != 0) return false;
    path_.clear();
    return true;
  }

 private:
  UniqueFd fd_;
  std::string path_;
};

SaveResult ReplaceAtomically(const std::string& path, std::string_view bytes) {
  // Follow a symbolic link, so that the link keeps pointing at the new listing.
  const std::string target = SaveTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && ::access(target.c_str(), W_OK) != 0) return Failure(path, errno);

  // A new listing gets the mode any new file gets here: the kernel applies
  // the umask to 0666 itself, so the umask is never changed to be read. A
  // replacement starts private and takes the old file's mode.
  TempFile temp;
  if (!temp.Create(FolderOf(target), exists ? 0600 : 0666)) {
    const int err = errno;
    if (err == EACCES || err == EPERM) return FolderNotWritable(path, FolderOf(target), err);
    return Failure(path, err);
  }
  if (!WriteAll(temp.Fd(), bytes)) return Failure(path, errno);
  if (exists) {
    if (::fchmod(temp.Fd(), old.st_mode & 07777) != 0) return Failure(path, errno);
    if (::fchown(temp.Fd(), old.st_uid, old.st_gid) != 0) {
      // Keeping the owner needs privileges; the content matters, not this.
    }
  }
  if (::fsync(temp.Fd()) != 0 || !temp.Commit(target)) return Failure(path, errno);
  return {true, {}};
}

// How much of an existing file is read to tell whether it is a log.
constexpr std::size_t kLogPeekBytes = 64 * 1024;

}  // namespace

bool IsCabrilloLog(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) return false;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::string start(kLogPeekBytes, '\0');
  std::size_t have = 0;
  while (have < start.size()) {
    const ssize_t n = ::read(fd.Get(), start.data() + have, start.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  start.resize(have);
  return CheckLogHeader(start).valid;
}

namespace {

SaveResult ALog(const std::string& path) {
  SaveResult refused{false, path + " is a Cabrillo log; not replaced: choose another name"};
  refused.a_log = true;
  return refused;
}

}  // namespace

SaveResult SaveListing(const std::string& path, std::string_view bytes, const std::string& log_path) {
  std::optional<FileIdentity> log;
  if (!log_path.empty()) log = IdentityOf(log_path);
  if (!log) return SaveListing(path, bytes, std::span<const FileIdentity>());
  return SaveListing(path, bytes, std::span<const FileIdentity>(&*log, 1));
}

SaveResult SaveListing(const std::string& path, std::string_view bytes, std::span<const FileIdentity> logs) {
  if (path.empty()) return {false, "no file name given"};
  if (const std::optional<int> fd = NamedDescriptor(path)) return WriteThroughDescriptor(path, *fd, bytes, logs);
  if (const std::optional<FileIdentity> file = IdentityOf(path); file && IsALog(*file, logs)) {
    return {false, std::string(kSaveOntoLogReason), true};
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Failure(path, EISDIR);
    if (!S_ISREG(st.st_mode)) return WriteStraightThrough(path, bytes);
    if (IsCabrilloLog(path)) return ALog(path);
  }
  return ReplaceAtomically(path, bytes);
}

}  // namespace zelo
