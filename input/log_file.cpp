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

#include "input/unique_fd.h"

namespace zelo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLeadingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Quoted(std::string_view item) {
  constexpr std::size_t kShown = 40;
  std::string out = "\"";
  out.append(item.substr(0, kShown));
  if (item.size() > kShown) out += "...";
  out += '"';
  return out;
}

std::string SystemReason(int err) { return std::strerror(err); }

std::string TooBig(std::uint64_t size) {
  return "it is too big for a log: " + std::to_string(size) + " bytes (at most " + std::to_string(kMaxLogBytes) + ")";
}

// Gives `bytes` room for `size` bytes. A big log is mapped in huge pages
// where the system allows, all at once, instead of one fault per 4 KiB page as
// the read fills it; both hints are only hints, and failing them is harmless.
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

}  // namespace

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
  return {false, "it begins with " + Quoted(item) + ", not START-OF-LOG:"};
}

FileRead ReadWholeFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return {false, {}, SystemReason(errno)};
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return {false, {}, SystemReason(errno)};
  if (S_ISDIR(st.st_mode)) return {false, {}, "it is a folder"};
  if (!S_ISREG(st.st_mode)) return {false, {}, "it is not a regular file"};
  if (static_cast<std::uint64_t>(st.st_size) > kMaxLogBytes) {
    return {false, {}, TooBig(static_cast<std::uint64_t>(st.st_size))};
  }
  std::string bytes;
  try {
    std::size_t expected = static_cast<std::size_t>(st.st_size);
    ReserveForRead(bytes, expected + 1);
    bytes.resize(expected + 1);  // one spare byte tells whether the file grew
    std::size_t have = 0;
    for (;;) {
      if (have == bytes.size()) {
        // The file grew while it was read (or told no size at all).
        if (have > kMaxLogBytes) return {false, {}, TooBig(have)};
        bytes.resize(std::min(bytes.size() * 2 + 4096, kMaxLogBytes + 1));
      }
      const ssize_t n = ::read(fd.Get(), bytes.data() + have, bytes.size() - have);
      if (n < 0) {
        if (errno == EINTR) continue;
        return {false, {}, SystemReason(errno)};
      }
      if (n == 0) break;
      have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return {true, std::move(bytes), {}};
  } catch (const std::bad_alloc&) {
    // The file is within the limit but the memory left is not enough for it.
    return {false, {}, SystemReason(ENOMEM)};
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace zelo
