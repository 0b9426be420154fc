#include "cli/cli_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/cli.h"
#include "input/messages.h"

namespace zelo {

void TellRejected(std::ostream& err, const std::string& path, const std::string& reason) {
  err << kInvalidLogMessage << ": " << TerminalSafe(path) << ": " << TerminalSafe(reason) << '\n';
}

void OutputLines::Line(std::string_view text) {
  if (failed_) return;
  errno = 0;
  out_.write(text.data(), static_cast<std::streamsize>(text.size()));
  out_.put('\n');
  if (!out_) Fail();
}

bool OutputLines::Finish(std::ostream& err) {
  if (!failed_) {
    errno = 0;
    out_.flush();
    if (!out_) Fail();
  }
  if (!failed_) return true;
  // A reader that stopped early (`zelo-score LOG | head`) is no news.
  if (error_ == EPIPE) return false;
  err << kProgramName << ": writing the output failed";
  if (error_ != 0) err << ": " << std::strerror(error_);
  err << '\n';
  return false;
}

void OutputLines::Fail() {
  failed_ = true;
  error_ = errno;
}

std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t have = DisplayWidth(text);
  if (have < width) text.append(width - have, ' ');
  return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t have = DisplayWidth(text);
  return have < width ? std::string(width - have, ' ') + text : text;
}


}  // namespace zelo
