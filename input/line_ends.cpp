#include "input/line_ends.h"

#include <algorithm>

namespace zelo {

std::size_t LineEndLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  if (text[pos] == '\n') return 1;
  if (text[pos] != '\r') return 0;
  return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
}

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
  for (; pos_ < offset; ++pos_) {
    const char c = text_[pos_];
    // A CR followed by LF ends its line at the LF.
    if (c == '\n' || (c == '\r' && LineEndLength(text_, pos_) == 1)) ++line_;
  }
  return line_;
}

std::optional<TextLine> LineReader::Next() {
  if (pos_ >= text_.size()) return std::nullopt;
  const std::size_t end = text_.find_first_of("\r\n", pos_);
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

}  // namespace zelo
