// Output of zelo-score: lines written to a stream, with the first failure
// remembered and told once.
#pragma once

#include <cerrno>
#include <cstring>
#include <ostream>
#include <string_view>

namespace zelo {

inline constexpr std::string_view kProgram = "zelo-score";

// Writes lines to the output and remembers the first failure and its reason,
// after which it writes nothing more.
class OutputLines {
 public:
  explicit OutputLines(std::ostream& out) : out_(out) {}

  void Line(std::string_view text) {
    if (failed_) return;
    errno = 0;
    out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    out_.put('\n');
    if (!out_) Fail();
  }

  // Flushes; false when any write failed, with the message told on `err`.
  bool Finish(std::ostream& err) {
    if (!failed_) {
      errno = 0;
      out_.flush();
      if (!out_) Fail();
    }
    if (!failed_) return true;
    // A reader that stopped early (`zelo-score LOG | head`) is no news.
    if (error_ == EPIPE) return false;
    err << kProgram << ": writing the output failed";
    if (error_ != 0) err << ": " << std::strerror(error_);
    err << '\n';
    return false;
  }

 private:
  void Fail() {
    failed_ = true;
    error_ = errno;
  }

  std::ostream& out_;
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace zelo
