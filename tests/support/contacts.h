// Contact lines and logs written in a test.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zelo::test {

inline constexpr std::string_view kHeader = "START-OF-LOG: 3.0";
inline constexpr std::string_view kEnd = "END-OF-LOG:";

// The fields of one contact that the scoring reads; the others are fixed.
struct Contact {
  std::string_view freq;               // field 2
  std::string_view call;               // field 10, the station worked
  std::string_view item = "BU";        // field 13, the multiplier item
  std::string_view report = "599";     // field 11: above 9, so the item counts
  std::string_view my_call = "YO3ZELO";  // field 6
};

// The thirteen fields after "QSO:", each preceded by `sep`.
inline std::string ContactLine(const Contact& c, std::string_view sep = " ") {
  std::string line = "QSO:";
  for (std::string_view field : {c.freq, std::string_view("CW"), std::string_view("2026-02-14"),
                                 std::string_view("0000"), c.my_call, std::string_view("599"),
                                 std::string_view("0001"), std::string_view("BU"), c.call, c.report,
                                 std::string_view("0098"), c.item}) {
    line += sep;
    line += field;
  }
  return line;
}

inline std::string ContactLine(std::string_view freq, std::string_view call, std::string_view item,
                               std::string_view sep = " ") {
  return ContactLine(Contact{freq, call, item}, sep);
}

inline std::string PadRight(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

// A contact in fixed columns, as a logging program writes it: every line of
// a log has the same length when the texts fit their columns.
inline std::string ColumnLine(const Contact& c) {
  return "QSO: " + PadRight(c.freq, 5) + " CW 2026-02-14 0000 " + PadRight(c.my_call, 12) + " 599 0001 BU " +
         PadRight(c.call, 10) + " " + PadRight(c.report, 3) + " 0098 " + PadRight(c.item, 4);
}

// A log: `head`, the lines, END-OF-LOG:, each followed by `eol`.
inline std::string LogOf(const std::vector<std::string>& lines, std::string_view eol = "\r\n",
                         std::string_view head = kHeader) {
  std::string log(head);
  log += eol;
  for (const std::string& line : lines) log.append(line).append(eol);
  log.append(kEnd).append(eol);
  return log;
}

// A log of contacts in fixed columns.
inline std::string ColumnLog(std::initializer_list<Contact> contacts, std::string_view eol = "\r\n") {
  std::vector<std::string> lines;
  for (const Contact& c : contacts) lines.push_back(ColumnLine(c));
  return LogOf(lines, eol);
}

// A text followed by a number ("K" and 12 give "K12").
inline std::string Numbered(std::string_view text, long long n) {
  std::string out(text);
  out += std::to_string(n);
  return out;
}

}  // namespace zelo::test
