// The one way zelo-score writes JSON: one object per line, log bytes shown
// as the window shows them, and safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace zelo {

using Json = nlohmann::ordered_json;

// Log bytes (a call, a message that quotes the log, a path) as a JSON
// string: UTF-8 as it is, every other byte as its Latin-1 letter, so that
// nothing turns into a replacement mark.
Json JsonText(std::string_view bytes);

// The object as one line of JSON. On a terminal, the controls that JSON
// leaves unescaped (DEL and the C1 controls) are escaped the JSON way, so
// that the line still means the same.
std::string JsonLine(const Json& object, bool terminal);

}  // namespace zelo
