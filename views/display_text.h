// How log bytes are shown on screen, in the window and in the browser alike:
// valid UTF-8 as it is, every other byte as the Latin-1 character of its
// value, so that a log written in Latin-1 (F5\xE9\xE8T) reads as its author
// meant and no byte shows as a replacement mark. Saved listings keep the
// bytes; only what is shown is decoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelo {

// The text as shown, in UTF-8.
std::string DisplayUtf8(std::string_view bytes);

// The number of characters the text shows as.
std::size_t DisplayLength(std::string_view bytes);

// The text with blanks added after it (PadRight) or before it (PadLeft) to
// show as `width` characters; a longer text as it is.
std::string PadRight(std::string text, std::size_t width);
std::string PadLeft(const std::string& text, std::size_t width);

}  // namespace zelo
