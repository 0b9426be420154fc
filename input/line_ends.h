// Lines of a log: a line ends at LF, CR LF or a lone CR, and every part of
// the program that speaks of lines (records, line numbers, the last field,
// the header) follows this one rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zelo {

// How many bytes of line end start at `pos`: 2 for CR LF, 1 for a lone LF or
// CR, 0 for any other byte or past the end. Inline: the record scanner asks
// it once per record.
inline std::size_t LineEndLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  if (text[pos] == '\n') return 1;
  if (text[pos] != '\r') return 0;
  return pos + 1 < text.size() && text[pos + 1] == '\n' ? 2 : 1;
}

// `text` without one line end at its end (CR LF, LF or CR), if it has one.
std::string_view DropLineEnd(std::string_view text);

// 1-based line numbers of byte offsets in a text. Offsets asked in ascending
// order cost only the bytes between them; a smaller offset than the last
// starts counting afresh.
class LineCounter {
 public:
  explicit LineCounter(std::string_view text) : text_(text) {}
  std::int64_t LineOf(std::size_t offset);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t line_ = 1;
};

// One line of a text.
struct TextLine {
  std::int64_t number = 0;  // 1-based
  std::size_t offset = 0;   // where it starts in the text
  std::string_view text;    // without its line end
  bool ended = false;       // false for a last line with no line end
};

// Walks the lines of a text in order. A text that ends with a line end has
// no further, empty line after it; an empty text has no lines.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  std::optional<TextLine> Next();

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t number_ = 0;
  // The first LF at or after pos_ (the text's size when none is left), once
  // looked for (npos before); a text with lone CRs is searched for LF once,
  // not per line.
  std::size_t next_lf_ = std::string_view::npos;
};

// Line `line` of a text and up to `around` lines either side of it, in
// order; empty when the text has no such line.
std::vector<TextLine> LinesAround(std::string_view text, std::int64_t line, int around);

}  // namespace zelo
