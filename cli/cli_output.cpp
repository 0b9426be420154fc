#include "cli/cli_output.h"

#include "cli/cli.h"

namespace zelo {

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
