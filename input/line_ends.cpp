#include "input/line_ends.h"

#include <algorithm>
#include <cstring>

namespace zelo {

std::string_view DropLineEnd(std::string_view text) {
  if (text.ends_with("\r\n")) return text.substr(0, text.size() - 2);
  if (text.ends_with('\n') || text.ends_with('\r')) return text.substr(0, text.size() - 1);
  return text;
}

std::int64_t LineCounter::LineOf(std::size_t offset) {
  offset = std::min(offset, text_.size());
  if (offset < pos_) {
    pos_ = 0;
    line_ = 1;
  }
  // A line ends at each LF and at each CR not followed by LF (a CR LF ends
  // its line at the LF). Counted without a branch per byte; the last byte of
  // the text has no byte after it and is looked at alone.
  const char* const bytes = text_.data();
  const std::size_t paired_end = std::min(offset, text_.size() - (text_.empty() ? 0 : 1));
  std::int64_t ends = 0;
  for (std::size_t i = pos_; i < paired_end; ++i) {
    ends += static_cast<std::int64_t>((bytes[i] == '\n') | ((bytes[i] == '\r') & (bytes[i + 1] != '\n')));
  }
  pos_ = std::max(pos_, paired_end);
  for (; pos_ < offset; ++pos_) ends += LineEndLength(text_, pos_) == 1 || bytes[pos_] == '\n';
  line_ += ends;
  return line_;
}

std::optional<TextLine> LineReader::Next() {
  if (pos_ >= text_.size()) return std::nullopt;
  if (next_lf_ == std::string_view::npos || next_lf_ < pos_) {
    const void* lf = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
    next_lf_ = lf == nullptr ? text_.size() : static_cast<std::size_t>(static_cast<const char*>(lf) - text_.data());
  }
  // The line ends at its first CR, or else at that LF.
  const void* cr = std::memchr(text_.data() + pos_, '\r', next_lf_ - pos_);
  std::size_t end = cr == nullptr ? next_lf_ : static_cast<std::size_t>(static_cast<const char*>(cr) - text_.data());
  if (end == text_.size()) end = std::string_view::npos;
  TextLine line;
  line.number = ++number_;
  line.offset = pos_;
  if (end == std::string_view::npos) {
    line.text = text_.substr(pos_);
    pos_ = text_.size();
    return line;
  }
  line.text = text_.substr(pos_, end - pos_);
  line.ended = true;
  pos_ = end + LineEndLength(text_, end);
  return line;
}

std::vector<TextLine> LinesAround(std::string_view text, std::int64_t line, int around) {
  std::vector<TextLine> lines;
  if (line < 1) return lines;
  LineReader reader(text);
  while (std::optional<TextLine> next = reader.Next()) {
    if (next->number > line + around) break;
    if (next->number >= line - around) lines.push_back(*next);
  }
  if (lines.empty() || lines.back().number < line) lines.clear();
  return lines;
}

}  // namespace zelo
