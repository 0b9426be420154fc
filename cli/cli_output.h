// How zelo-score shows text: columns of its tables, and log bytes escaped
// where a terminal could act on them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelo {

// Columns on a terminal: a UTF-8 character takes one, whatever its bytes.
std::size_t DisplayWidth(std::string_view text);
std::string PadRight(std::string text, std::size_t width);
std::string PadLeft(const std::string& text, std::size_t width);

// Log bytes (or a path) as printed: escaped on a terminal, else as they are.
std::string Shown(std::string_view text, bool terminal);

// Log bytes in double quotes, escaped for a terminal and a quote inside them
// escaped, so that an empty or blank value shows and the value's end is plain.
std::string TerminalQuoted(std::string_view bytes);

}  // namespace zelo
