// Reading a contest log from disk and checking that it is a Cabrillo log.
#pragma once

#include <cstddef>
#include <cstdint>
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

// The whole content of a file, or the reason it could not be read.
struct FileRead {
  bool ok = false;
  std::string bytes;
  std::string error;  // the system's reason when !ok
};

// The most bytes a log may have. Real logs hold a few hundred kilobytes; the
// limit keeps a huge file chosen by mistake (or a sparse one that claims a
// terabyte) from taking all memory.
inline constexpr std::size_t kMaxLogBytes = std::size_t{256} << 20;

// Why a file of `size` bytes, more than kMaxLogBytes, is refused.
std::string TooBigReason(std::uint64_t size);

// Reads a regular file whole, byte for byte. Folders, devices and FIFOs are
// refused without blocking, and so is a file of more than kMaxLogBytes; a file
// that changes size while it is read is read up to its end as it then stands
// (and refused should it grow past the limit).
FileRead ReadWholeFile(const std::string& path);

// True when both paths name the same existing file (any spelling, symbolic
// or hard links included).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace zelo
