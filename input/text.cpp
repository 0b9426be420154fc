#include "input/text.h"

#include <algorithm>

namespace zelo {
namespace {

// Characters that show as nothing or as a plain blank: a second byte-order
// mark, zero-width and direction marks, spaces other than the ASCII one.
bool IsInvisible(char32_t c) {
  return c == 0xA0 || c == 0xAD || c == 0x34F || c == 0x61C || c == 0x115F || c == 0x1160 ||
         c == 0x17B4 || c == 0x17B5 || c == 0x180E || (c >= 0x2000 && c <= 0x200F) ||
         (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) || c == 0x3000 ||
         c == 0x3164 || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF9 && c <= 0xFFFB);
}

void AppendVisible(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  while (!text.empty()) {
    if (static_cast<unsigned char>(text.front()) < 0x80) {
      // ASCII up to the next byte that is not.
      const auto end = std::find_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
      const auto run = static_cast<std::size_t>(end - text.begin());
      out.append(text.substr(0, run));
      text.remove_prefix(run);
      continue;
    }
    const Utf8Char c = DecodeUtf8(text);
    if (c.length == 0 || !IsInvisible(c.code)) {
      const std::size_t take = std::max<std::size_t>(c.length, 1);
      out.append(text.substr(0, take));
      text.remove_prefix(take);
      continue;
    }
    out += "<U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c.code >> shift) & 0xF];
    out += '>';
    text.remove_prefix(c.length);
  }
}

}  // namespace

Utf8Char DecodeUtf8(std::string_view text) {
  if (text.empty()) return {};
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return {};
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    code = (code << 6) | (byte(i) & 0x3F);
  }
  return {code, length};
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = UpperAscii(c);
  return upper;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

void AppendQuoted(std::string& out, std::string_view bytes) {
  out += '"';
  AppendVisible(out, bytes.substr(0, kQuotedBytes));
  if (bytes.size() > kQuotedBytes) out += "...";
  out += '"';
}

std::string QuoteLogBytes(std::string_view bytes) {
  std::string quoted;
  quoted.reserve(std::min(bytes.size(), kQuotedBytes) + 5);
  AppendQuoted(quoted, bytes);
  return quoted;
}

std::string Plural(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace zelo
