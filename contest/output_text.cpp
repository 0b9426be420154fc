#include "contest/output_text.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "input/text.h"
#include "views/display_text.h"

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

// A control character or a noncharacter: never shown as it is. Tab, LF and
// CR are controls too unless `line_ends` lets them through.
bool Unshown(char32_t cp, bool line_ends) {
  if (cp < 0x20) return !(line_ends && (cp == '\t' || cp == '\n' || cp == '\r'));
  if (cp >= 0x7F && cp <= 0x9F) return true;
  if (cp >= 0xFDD0 && cp <= 0xFDEF) return true;
  return (cp & 0xFFFE) == 0xFFFE;
}

// The bytes as the window shows them (UTF-8 as it is, other bytes as their
// Latin-1 letters), each character passed to `emit`, or `replacement` for
// one that is never shown.
template <typename Emit>
void ForEachShown(std::string_view bytes, bool line_ends, std::string_view replacement, Emit emit) {
  const std::string shown = DisplayUtf8(bytes);
  std::string_view text = shown;
  while (!text.empty()) {
    const Utf8Char c = DecodeUtf8(text);  // always valid: DisplayUtf8 made it so
    const std::size_t length = std::max<std::size_t>(c.length, 1);
    if (Unshown(c.code, line_ends)) {
      emit(c.code, replacement);
    } else {
      emit(c.code, text.substr(0, length));
    }
    text.remove_prefix(length);
  }
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
  ForEachShown(text, false, kReplacement, [&value](char32_t, std::string_view part) { value.append(part); });
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
  ForEachShown(text, true, kReplacement, [&out](char32_t cp, std::string_view part) {
    switch (cp) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out.append(part);
    }
  });
  return out;
}

std::string PlainText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachShown(text, false, "?", [&out](char32_t, std::string_view part) { out.append(part); });
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
