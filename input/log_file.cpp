#include "input/log_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "input/text.h"
#include "input/unique_fd.h"

namespace zelo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLeadingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string SystemReason(int err) { return std::strerror(err); }

// Gives `bytes` room for `size` bytes. A big log is mapped in huge pages
// where the system allows, all at once, instead of one fault per 4 KiB page as
// the read fills it; both hints are only hints, and failing them is harmless.
// On the 1M-contact aligned log this saves five page faults in six and about
// a quarter of the run's time (half of it on the 10 MB one-line log).
void ReserveForRead(std::string& bytes, std::size_t size) {
  bytes.reserve(size);
#if defined(__linux__)
  constexpr std::size_t kWorthIt = std::size_t{4} << 20;
  if (size < kWorthIt) return;
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(bytes.data());
  const std::uintptr_t first = (start + page - 1) / page * page;
  const std::uintptr_t last = (start + size) / page * page;
  if (last <= first) return;
  void* const region = reinterpret_cast<void*>(first);
#if defined(MADV_HUGEPAGE)
  ::madvise(region, last - first, MADV_HUGEPAGE);
#endif
#if defined(MADV_POPULATE_WRITE)
  ::madvise(region, last - first, MADV_POPULATE_WRITE);
#endif
#endif
}

FileIdentity IdentityOfStat(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Reads `fd` from where it stands to its end, `expected` bytes if it tells
// its size (0 if not), refusing more than kMaxLogBytes.
FileRead ReadToEnd(int fd, std::size_t expected) {
  FileRead result;
  std::string bytes;
  try {
    ReserveForRead(bytes, expected + 1);
    bytes.resize(expected + 1);  // one spare byte tells whether the file grew
    std::size_t have = 0;
    for (;;) {
      if (have == bytes.size()) {
        // The file grew while it was read (or told no size at all).
        if (have > kMaxLogBytes) {
          result.error = TooBigReason(have);
          return result;
        }
        bytes.resize(std::min(bytes.size() * 2 + 4096, kMaxLogBytes + 1));
      }
      const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
      if (n < 0) {
        if (errno == EINTR) continue;
        result.error = SystemReason(errno);
        return result;
      }
      if (n == 0) break;
      have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    result.ok = true;
    result.bytes = std::move(bytes);
    return result;
  } catch (const std::bad_alloc&) {
    // The file is within the limit but the memory left is not enough for it.
    return {false, {}, SystemReason(ENOMEM), std::nullopt};
  }
}

}  // namespace

std::string TooBigReason(std::uint64_t size) {
  return "it is too big for a log: " + std::to_string(size) + " bytes (at most " + std::to_string(kMaxLogBytes) + ")";
}

std::string_view FirstItem(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::size_t start = 0;
  while (start < text.size() && IsLeadingBlank(text[start])) ++start;
  text.remove_prefix(start);
  if (text.starts_with('"')) {
    text.remove_prefix(1);
    return text.substr(0, text.find('"'));
  }
  return text.substr(0, text.find_first_of(",\r\n"));
}

HeaderCheck CheckLogHeader(std::string_view text) {
  if (text.empty()) return {false, "the file is empty"};
  const std::string_view item = FirstItem(text);
  if (item.starts_with(kLogHeader)) return {true, {}};
  if (item.empty()) return {false, "the file holds no START-OF-LOG: header"};
  return {false, "it begins with " + QuoteLogBytes(item) + ", not START-OF-LOG:"};
}

FileRead ReadWholeFile(const std::string& path, ReadMode mode) {
  // A FIFO is opened once, waiting for a writer as `cat` does, and read to
  // its end through that one descriptor: opening it a second time would lose
  // what a writer that has finished already wrote, and wait for another.
  struct stat named {};
  if (mode == ReadMode::kStreamsToo && ::stat(path.c_str(), &named) == 0 && S_ISFIFO(named.st_mode)) {
    UniqueFd fifo(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fifo) return {false, {}, SystemReason(errno), std::nullopt};
    return ReadToEnd(fifo.Get(), 0);
  }
  // O_NONBLOCK: opening a FIFO (or a device) must not wait.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return {false, {}, SystemReason(errno), std::nullopt};
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return {false, {}, SystemReason(errno), std::nullopt};
  if (S_ISDIR(st.st_mode)) return {false, {}, "it is a folder", std::nullopt};
  if (!S_ISREG(st.st_mode)) return {false, {}, "it is not a regular file", std::nullopt};
  if (static_cast<std::uint64_t>(st.st_size) > kMaxLogBytes) {
    return {false, {}, TooBigReason(static_cast<std::uint64_t>(st.st_size)), std::nullopt};
  }
  FileRead result = ReadToEnd(fd.Get(), static_cast<std::size_t>(st.st_size));
  if (result.ok) result.identity = IdentityOfStat(st);
  return result;
}

FileRead ReadStream(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return {false, {}, SystemReason(errno), std::nullopt};
  if (S_ISDIR(st.st_mode)) return {false, {}, "it is a folder", std::nullopt};
  FileRead result = ReadToEnd(fd, 0);
  if (result.ok && S_ISREG(st.st_mode)) result.identity = IdentityOfStat(st);
  return result;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace zelo
