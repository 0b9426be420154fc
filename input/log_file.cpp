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

#include "input/unique_fd.h"

namespace zelo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLeadingBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Characters that show as nothing or as a plain blank: a second byte-order
// mark, zero-width and direction marks, spaces other than the ASCII one.
bool IsInvisible(char32_t c) {
  return c == 0xA0 || c == 0xAD || c == 0x34F || c == 0x61C || c == 0x115F || c == 0x1160 ||
         c == 0x17B4 || c == 0x17B5 || c == 0x180E || (c >= 0x2000 && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 ||
         c == 0x3164 || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF9 && c <= 0xFFFB);
}

// The UTF-8 character at the start of `text` and its length in bytes;
// length 0 when it is ASCII or no well-formed character.
std::pair<char32_t, std::size_t> Utf8At(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const std::size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || length > text.size()) return {0, 0};
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, length};
}

// Bytes with every invisible character written as <U+XXXX>, so that a
// message quoting them shows what is there.
std::string Visible(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  while (!text.empty()) {
    const auto [code, length] = Utf8At(text);
    if (length == 0 || !IsInvisible(code)) {
      const std::size_t take = std::max<std::size_t>(length, 1);
      out.append(text.substr(0, take));
      text.remove_prefix(take);
      continue;
    }
    out += "<U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
    out += '>';
    text.remove_prefix(length);
  }
  return out;
}

std::string Quoted(std::string_view item) {
  constexpr std::size_t kShown = 40;
  std::string out = "\"";
  out.append(Visible(item.substr(0, kShown)));
  if (item.size() > kShown) out += "...";
  out += '"';
  return out;
}

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
  return {false, "it begins with " + Quoted(item) + ", not START-OF-LOG:"};
}

FileRead ReadWholeFile(const std::string& path, ReadMode mode) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return {false, {}, SystemReason(errno), std::nullopt};
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return {false, {}, SystemReason(errno), std::nullopt};
  if (S_ISFIFO(st.st_mode) && mode == ReadMode::kStreamsToo) {
    // Opened again without O_NONBLOCK, so that the read waits for a writer
    // and for the writer's data, as `cat` does.
    const int blocking = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int err = errno;
    fd.Reset(blocking);
    if (!fd) return {false, {}, SystemReason(err), std::nullopt};
    return ReadToEnd(fd.Get(), 0);
  }
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
