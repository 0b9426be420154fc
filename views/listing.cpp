#include "views/listing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "input/log_file.h"

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

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
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
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failure(path, errno);
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (!WriteAll(fd, bytes)) {
    const int err = errno;
    ::close(fd);
    return Failure(path, err);
  }
  if (::close(fd) != 0) return Failure(path, errno);
  return {true, {}};
}

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

  std::string temp = FolderOf(target) + "/.zelo-save-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Failure(path, errno);
  const auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    return Failure(path, err);
  };
  if (!WriteAll(fd, bytes)) return fail(errno);
  if (::fsync(fd) != 0) return fail(errno);
  if (exists) {
    ::fchmod(fd, old.st_mode & 07777);
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Keeping the owner needs privileges; the content matters, not this.
    }
  } else {
    ::fchmod(fd, NewFileMode());
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure(path, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failure(path, err);
  }
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
