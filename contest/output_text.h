// Text from a log made safe for where it goes: a CSV field, HTML, a plain
// text report, a file name. A log is untrusted input: any byte may appear.
// Bytes are shown as the window shows them (UTF-8 as it is, other bytes as
// their Latin-1 letters), and no control character gets through.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelo {

// One CSV field: control characters (tab, CR and LF too) as U+FFFD; quoted
// when it holds a comma or a quote (quotes doubled inside); a text that a
// spreadsheet would take for a formula (beginning with =, +, -, @, tab or CR)
// gets a leading apostrophe.
std::string CsvField(std::string_view text);
// A number as a CSV field.
std::string CsvNumber(long long n);
// Fields joined by commas and ended by CR LF; every field is already a
// CsvField or CsvNumber.
std::string CsvRow(const std::vector<std::string>& fields);

// Text for an HTML element or a quoted attribute: & < > " ' escaped, and
// control characters other than tab, LF and CR shown as U+FFFD.
std::string HtmlEscape(std::string_view text);

// Text for a plain-text report line: control characters (a terminal's
// escape sequences, line ends) shown as '?'.
std::string PlainText(std::string_view text);

// A file name stem for each call, in order: letters and digits kept (upper
// case), anything else as '_', at most 40 bytes; "LOG" for an empty call;
// made unique without regard to case ("-2", "-3", ...) and never one of
// `reserved` or a name that Windows keeps for devices.
std::vector<std::string> UniqueFileStems(const std::vector<std::string>& calls,
                                         const std::vector<std::string>& reserved);

}  // namespace zelo
