#include "cli/json_output.h"

#include "views/display_text.h"

namespace zelo {
namespace {

std::string EscapedForTerminal(std::string_view json) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string safe;
  safe.reserve(json.size());
  for (std::size_t i = 0; i < json.size(); ++i) {
    const auto c = static_cast<unsigned char>(json[i]);
    unsigned code = 0x100;  // none
    if (c == 0x7F) {
      code = c;
    } else if (c == 0xC2 && i + 1 < json.size() && static_cast<unsigned char>(json[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(json[i + 1]) <= 0x9F) {
      code = static_cast<unsigned char>(json[++i]);
    }
    if (code == 0x100) {
      safe += static_cast<char>(c);
    } else {
      safe += "\\u00";
      safe += kHex[code >> 4];
      safe += kHex[code & 0xF];
    }
  }
  return safe;
}

}  // namespace

Json JsonText(std::string_view bytes) { return DisplayUtf8(bytes); }

std::string JsonLine(const Json& object, bool terminal) {
  const std::string json = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return terminal ? EscapedForTerminal(json) : json;
}

}  // namespace zelo
