// Reading a contest log from disk and checking that it is a Cabrillo log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelo {

// The header keyword that the first item of a log must begin with.
inline constexpr std::string_view kLogHeader = "START-OF-LOG:";

// The outcome of the header check: valid, or why the text is not a log.
struct HeaderCheck {
  bool valid = false;
  std::string reason;  // empty when valid
};

// The first item of a comma-delimited text: a UTF-8 byte-order mark, blank
// lines and leading blanks are passed over; a quoted item runs to the next
// double quote; any other item runs up to the first comma, CR or LF.
std::string_view FirstItem(std::string_view text);

// Accepts `text` when its first item begins with "START-OF-LOG:" (exact,
// case-sensitive); otherwise says why not.
HeaderCheck CheckLogHeader(std::string_view text);

// Which file a name or descriptor leads to: its device and inode.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file `path` names (links followed); nullopt when it
// does not exist or cannot be reached.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The whole content of a file, or the reason it could not be read.
struct FileRead {
  bool ok = false;
  std::string bytes;
  std::string error;  // the system's reason when !ok
  std::optional<FileIdentity> identity;  // of a regular file read, when ok
};

// The most bytes a log may have. Real logs hold a few hundred kilobytes; the
// limit keeps a huge file chosen by mistake (or a sparse one that claims a
// terabyte) from taking all memory.
inline constexpr std::size_t kMaxLogBytes = std::size_t{256} << 20;

// Why a file of `size` bytes, more than kMaxLogBytes, is refused.
std::string TooBigReason(std::uint64_t size);

// What ReadWholeFile takes besides regular files.
enum class ReadMode {
  kRegularOnly,  // FIFOs are refused at once, without waiting for a writer
  kStreamsToo,   // a FIFO (or a pipe named by /dev/fd/N) is read to its end
};

// Reads a regular file whole, byte for byte. Folders and devices are refused
// without blocking, FIFOs too unless `mode` takes them, and so is a file of
// more than kMaxLogBytes; a file that changes size while it is read is read
// up to its end as it then stands (and refused should it grow past the limit).
FileRead ReadWholeFile(const std::string& path, ReadMode mode = ReadMode::kRegularOnly);

// Reads an open descriptor (standard input: a pipe, a terminal, a file from
// where it stands) to its end, byte for byte, refusing more than kMaxLogBytes.
FileRead ReadStream(int fd);

// True when both paths name the same existing file (any spelling, symbolic
// or hard links included).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace zelo
