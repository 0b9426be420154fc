#include "views/display_text.h"

#include "input/text.h"

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
    const std::size_t length = DecodeUtf8(text.substr(i)).length;
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

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t have = DisplayLength(text);
  if (have < width) text.append(width - have, ' ');
  return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t have = DisplayLength(text);
  return have < width ? std::string(width - have, ' ') + text : text;
}

}  // namespace zelo
