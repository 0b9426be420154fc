#include "views/display_text.h"

namespace zelo {
namespace {

// Calls on_run(valid UTF-8 run) and on_byte(other byte) through `text`, in order.
template <typename OnRun, typename OnByte>
void WalkDisplayBytes(std::string_view text, OnRun on_run, OnByte on_byte) {
  std::size_t run_start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text.substr(i));
    if (length > 0) {
      i += length;
      continue;
    }
    if (i > run_start) on_run(text.substr(run_start, i - run_start));
    on_byte(static_cast<unsigned char>(text[i]));
    run_start = ++i;
  }
  if (i > run_start) on_run(text.substr(run_start, i - run_start));
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string DisplayUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  WalkDisplayBytes(
      bytes, [&text](std::string_view run) { text += run; },
      [&text](unsigned char byte) {
        text += static_cast<char>(0xC0 | byte >> 6);
        text += static_cast<char>(0x80 | (byte & 0x3F));
      });
  return text;
}

std::size_t DisplayLength(std::string_view bytes) {
  std::size_t length = 0;
  WalkDisplayBytes(
      bytes,
      [&length](std::string_view run) {
        for (char c : run) length += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      },
      [&length](unsigned char) { ++length; });
  return length;
}

}  // namespace zelo
