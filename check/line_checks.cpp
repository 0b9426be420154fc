#include "check/line_checks.h"

#include <algorithm>

#include "input/cabrillo_vocabulary.h"
#include "input/line_ends.h"
#include "scoring/score_log.h"

namespace zelo::check {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlankText(std::string_view text) { return std::all_of(text.begin(), text.end(), IsFieldSeparator); }

// The first byte of a line outside printable ASCII (tabs aside); npos when none.
std::size_t FirstNonAscii(std::string_view line) {
  // Found without a branch per byte, which the compiler can vectorise; the
  // position is looked for only on the rare line that has one.
  unsigned bad = 0;
  for (char c : line) {
    const auto u = static_cast<unsigned char>(c);
    bad |= static_cast<unsigned>((u < 0x20 && u != '\t') | (u >= 0x7F));
  }
  if (bad == 0) return std::string_view::npos;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto u = static_cast<unsigned char>(line[i]);
    if ((u < 0x20 && u != '\t') || u >= 0x7F) return i;
  }
  return std::string_view::npos;
}

std::string HexByte(unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return std::string("0x") + kHex[c >> 4] + kHex[c & 0xF];
}

void NonAscii(const TextLine& line, std::size_t at, Findings& findings) {
  const bool bom = line.offset == 0 && line.text.starts_with(kByteOrderMark);
  findings.Add(line.number, kNonAscii,
               bom ? "the file begins with a UTF-8 byte-order mark: the scorer passes over it; a sponsor's robot "
                     "may not, so save the log as plain ASCII"
                   : "byte " + HexByte(static_cast<unsigned char>(line.text[at])) + " at column " +
                         std::to_string(at + 1) +
                         " is outside printable ASCII: the scorer keeps the bytes as they are; a sponsor's "
                         "robot may reject them, so write plain ASCII");
}

// A line that is a tag's item: a contact in small letters, or a tag that is
// not the format's.
void TaggedLine(const TextLine& line, std::string_view tag, Findings& findings) {
  if (tag == kTagQso || tag == kTagIgnoredQso) return;
  if (EqualNoCase(tag, kTagQso)) {
    if (line.text.find(kQsoTag) == std::string_view::npos) {
      findings.Add(line.number, kQsoCase,
                   Cat(Quoted{std::string_view(tag.data(), tag.size() + 1)},
                       " is not QSO: in capitals, so the scorer does not count this contact: this costs a contact; "
                       "write QSO:"),
                   {.lost_contacts = 1});
    }
    return;
  }
  if (tag.size() >= kPrivateTagPrefix.size() && EqualNoCase(tag.substr(0, kPrivateTagPrefix.size()), kPrivateTagPrefix)) {
    return;
  }
  if (IsKnownTag(tag)) return;
  findings.Add(line.number, kUnknownTag,
               Cat("unknown tag ", Quoted{std::string_view(tag.data(), tag.size() + 1)},
                   ": the scorer passes over it, but a sponsor's robot may reject it; a program's private tags "
                   "begin with X-"));
}

}  // namespace

std::int64_t CheckLines(std::string_view text, Findings& findings) {
  LineReader reader(text);
  std::int64_t lines = 0;
  while (const std::optional<TextLine> line = reader.Next()) {
    lines = line->number;
    if (const std::size_t at = FirstNonAscii(line->text); at != std::string_view::npos) NonAscii(*line, at, findings);
    // A byte-order mark before the first tag belongs to no tag.
    std::string_view item = line->text;
    if (line->offset == 0 && item.starts_with(kByteOrderMark)) item.remove_prefix(kByteOrderMark.size());
    if (const std::optional<std::string_view> tag = LineTag(item)) {
      TaggedLine(*line, *tag, findings);
      continue;
    }
    // A line holding "QSO:" is a contact record, told by the record check.
    if (!IsBlankText(item) && line->text.find(kQsoTag) == std::string_view::npos) {
      findings.Add(line->number, kUnknownLine,
                   Cat("the line ", Quoted{line->text},
                       " is neither a TAG: item nor blank: the scorer passes over it; begin it with a tag such as "
                       "SOAPBOX: or remove it"));
    }
  }
  return lines;
}

}  // namespace zelo::check
