#include "cli/cli_output.h"

#include <algorithm>

#include "cli/cli.h"

namespace zelo {

std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t have = DisplayWidth(text);
  if (have < width) text.append(width - have, ' ');
  return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t have = DisplayWidth(text);
  return have < width ? std::string(width - have, ' ') + text : text;
}

std::string Shown(std::string_view text, bool terminal) {
  return terminal ? TerminalSafe(text) : std::string(text);
}

std::string TerminalQuoted(std::string_view bytes) {
  std::string quoted = "\"";
  for (char c : TerminalSafe(bytes)) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace zelo
