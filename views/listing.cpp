#include "views/listing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <exception>
#include <random>

#include "input/log_file.h"
#include "input/unique_fd.h"

namespace zelo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

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

// Devices and pipes cannot be replaced; they take the bytes as they come.
SaveResult WriteStraightThrough(const std::string& path, std::string_view bytes) {
  // O_NONBLOCK: a FIFO that nobody reads fails at once instead of hanging.
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return Failure(path, errno);
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

  // Creates a file named `folder`/.zelo-save-XXXXXX that did not exist.
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
  std::string target = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    target = resolved;
    std::free(resolved);
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && ::access(target.c_str(), W_OK) != 0) return Failure(path, errno);

  // A new listing gets the mode any new file gets here: the kernel applies
  // the umask to 0666 itself, so the umask is never changed to be read. A
  // replacement starts private and takes the old file's mode.
  TempFile temp;
  if (!temp.Create(FolderOf(target), exists ? 0600 : 0666)) return Failure(path, errno);
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

}  // namespace

std::string ListingBytes(std::span<const std::string> lines) {
  std::size_t size = kLineEnd.size();
  for (const std::string& line : lines) size += line.size() + kLineEnd.size();
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += kLineEnd;
  }
  bytes += kLineEnd;
  return bytes;
}

SaveResult SaveListing(const std::string& path, std::string_view bytes, const std::string& log_path) {
  if (path.empty()) return {false, "no file name given"};
  if (!log_path.empty() && SameFile(path, log_path)) return {false, std::string(kSaveOntoLogReason)};
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Failure(path, EISDIR);
    if (!S_ISREG(st.st_mode)) return WriteStraightThrough(path, bytes);
  }
  return ReplaceAtomically(path, bytes);
}

}  // namespace zelo
