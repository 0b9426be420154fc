// How zelo-score shows log bytes: escaped where a terminal could act on
// them. Its tables' columns are padded as views/display_text.h pads them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "views/display_text.h"

namespace zelo {


// Log bytes (or a path) as printed: escaped on a terminal, else as they are.
std::string Shown(std::string_view text, bool terminal);

// Log bytes in double quotes, escaped for a terminal and a quote inside them
// escaped, so that an empty or blank value shows and the value's end is plain.
std::string TerminalQuoted(std::string_view bytes);

}  // namespace zelo
