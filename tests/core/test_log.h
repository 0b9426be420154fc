// Contest logs the core tests write: contacts in fixed columns under the
// header lines of a real log.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "support/contacts.h"
#include "support/files.h"

namespace zelo::test {

// One contact as a test writes it.
struct Qso {
  std::string freq;
  std::string call;
  std::string rst = "599";  // field 11
  std::string item = "HR";  // field 13
};

// A contact line in fixed columns, as a logging program writes it.
inline std::string AlignedLine(const Qso& q, std::string_view my_call = "YO3ZELO", std::string_view eol = "\r\n") {
  return ColumnLine(Contact{q.freq, q.call, q.item, q.rst, my_call}) + std::string(eol);
}

inline constexpr std::string_view kHeaderLines =
    "START-OF-LOG: 3.0\r\nCONTEST: ZELO-RAZEZUZ\r\nCALLSIGN: YO3ZELO\r\nCATEGORY-BAND: ALL\r\n";

// A whole log: header lines, one aligned line per contact, END-OF-LOG.
inline std::string AlignedLog(std::span<const Qso> qsos, std::string_view eol = "\r\n",
                              std::string_view my_call = "YO3ZELO") {
  std::string text;
  for (char c : kHeaderLines) {
    if (c == '\r') continue;
    if (c == '\n') {
      text += eol;
    } else {
      text += c;
    }
  }
  for (const Qso& q : qsos) text += AlignedLine(q, my_call, eol);
  text += "END-OF-LOG:";
  text += eol;
  return text;
}

// The lines of a report joined, each followed by "\n" (the golden file form).
inline std::string JoinLines(std::span<const std::string> lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
  return out;
}

}  // namespace zelo::test
