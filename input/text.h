// Log bytes as text: the one UTF-8 decoder, ASCII case folding, and the one
// way a message quotes bytes from a log. A log is untrusted input: any byte
// may appear, and none of these assumes more than bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelo {

// One character of UTF-8 text: its code point and its length in bytes.
struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;  // 0: the bytes there start no valid UTF-8 sequence
};

// The character that `text` starts with. Overlong forms, surrogates and
// values past U+10FFFF are not valid; an ASCII byte is a character of length 1.
Utf8Char DecodeUtf8(std::string_view text);

// An ASCII letter in upper case; every other byte as it is. Calls, tags and
// exchanges compare without regard to case through it.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Equal bytes. Calls, band prefixes and items are a few bytes long: a loop in
// place costs less than a library call for each comparison of the scoring run.
inline bool SameBytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The text with a to z as A to Z.
std::string UpperAscii(std::string_view text);

// True when two texts are equal without regard to ASCII letter case.
bool EqualNoCase(std::string_view a, std::string_view b);

// The most bytes of a log that a message quotes.
inline constexpr std::size_t kQuotedBytes = 40;

// Log bytes as a message quotes them: in double quotes, cut after
// kQuotedBytes with "...", and every character that would show as nothing
// or as a plain blank (a no-break space, a zero-width or direction mark, a
// byte-order mark) written <U+XXXX>, so that the reader sees what is there.
std::string QuoteLogBytes(std::string_view bytes);

// QuoteLogBytes appended to `out`, without a string of its own.
void AppendQuoted(std::string& out, std::string_view bytes);

// "1 log", "2 logs": a count and the word that goes with it.
std::string Plural(std::int64_t n, std::string_view one, std::string_view many);

}  // namespace zelo
