// Columns of zelo-score's tables on a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelo {

// Columns on a terminal: a UTF-8 character takes one, whatever its bytes.
std::size_t DisplayWidth(std::string_view text);
std::string PadRight(std::string text, std::size_t width);
std::string PadLeft(const std::string& text, std::size_t width);

}  // namespace zelo
