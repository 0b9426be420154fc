// What zelo-score's commands share to write their output: lines that
// remember the first failed write, terminal columns, and the message for a
// log that cannot be used.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace zelo {

inline constexpr std::string_view kProgramName = "zelo-score";

// Tells that a log cannot be used: "<message>: <file>: <reason>". The reason
// may quote the start of the file, whatever bytes it holds.
void TellRejected(std::ostream& err, const std::string& path, const std::string& reason);

// Writes lines to the output and remembers the first failure and its reason,
// after which it writes nothing more.
class OutputLines {
 public:
  explicit OutputLines(std::ostream& out) : out_(out) {}
  void Line(std::string_view text);
  // Flushes; false when any write failed, with the message told on `err`.
  bool Finish(std::ostream& err);

 private:
  void Fail();

  std::ostream& out_;
  bool failed_ = false;
  int error_ = 0;
};

// Columns on a terminal: a UTF-8 character takes one, whatever its bytes.
std::size_t DisplayWidth(std::string_view text);
std::string PadRight(std::string text, std::size_t width);
std::string PadLeft(const std::string& text, std::size_t width);

}  // namespace zelo
