#include "contest/output_text.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "input/text.h"

namespace zelo {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kCsvLineEnd = "\r\n";
constexpr std::size_t kMaxStem = 40;
constexpr std::string_view kEmptyCallStem = "LOG";
constexpr std::string_view kDeviceNames[] = {"CON", "PRN", "AUX", "NUL"};
constexpr std::string_view kNumberedDeviceNames[] = {"COM", "LPT"};

bool CsvNeedsQuotes(std::string_view text) {
  return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool SpreadsheetFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// A code point HTML does not allow as text: controls (other than tab, LF,
// CR) and noncharacters.
bool ForbiddenInHtml(std::uint32_t cp) {
  if (cp < 0x20) return cp != '\t' && cp != '\n' && cp != '\r';
  if (cp >= 0x7F && cp <= 0x9F) return true;
  if (cp >= 0xFDD0 && cp <= 0xFDEF) return true;
  return (cp & 0xFFFE) == 0xFFFE;
}

bool IsDeviceName(std::string_view stem) {
  for (std::string_view name : kDeviceNames) {
    if (stem == name) return true;
  }
  for (std::string_view name : kNumberedDeviceNames) {
    if (stem.size() == 4 && stem.substr(0, 3) == name && stem[3] >= '0' && stem[3] <= '9') return true;
  }
  return false;
}

std::string StemOf(std::string_view call) {
  if (call.empty()) return std::string(kEmptyCallStem);
  std::string stem;
  for (char c : call.substr(0, kMaxStem)) {
    const char upper = UpperAscii(c);
    if ((upper >= 'A' && upper <= 'Z') || (c >= '0' && c <= '9')) {
      stem += upper;
    } else {
      stem += '_';
    }
  }
  return stem;
}

}  // namespace

std::string CsvField(std::string_view text) {
  std::string value = SpreadsheetFormula(text) ? "'" : "";
  value.append(text);
  if (!CsvNeedsQuotes(value)) return value;
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CsvNumber(long long n) { return std::to_string(n); }

std::string CsvRow(const std::vector<std::string>& fields) {
  std::string row;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) row += ',';
    row += fields[i];
  }
  row += kCsvLineEnd;
  return row;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const auto [cp, length] = DecodeUtf8(text);
    if (length == 0 || ForbiddenInHtml(cp)) {
      out += kReplacement;
      text.remove_prefix(length == 0 ? 1 : length);
      continue;
    }
    switch (cp) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

std::string PlainText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return out;
}

std::vector<std::string> UniqueFileStems(const std::vector<std::string>& calls,
                                         const std::vector<std::string>& reserved) {
  std::unordered_set<std::string> taken;
  for (const std::string& name : reserved) taken.insert(UpperAscii(name));
  std::unordered_map<std::string, int> next_suffix;  // per stem: where to look next
  std::vector<std::string> stems;
  stems.reserve(calls.size());
  for (const std::string& call : calls) {
    const std::string stem = StemOf(call);
    std::string name = stem;
    if (IsDeviceName(name) || taken.count(name) != 0) {
      int& suffix = next_suffix.try_emplace(stem, 2).first->second;
      do {
        name = stem + "-" + std::to_string(suffix++);
      } while (taken.count(name) != 0);
    }
    taken.insert(name);
    stems.push_back(std::move(name));
  }
  return stems;
}

}  // namespace zelo
