#include "input/cabrillo_header.h"

#include <array>
#include <limits>

#include "input/line_ends.h"

namespace zelo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The words of a value, separated by blanks or tabs.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

// A version-2 operator word in the version-3 parts it stands for; a part
// the line's own words give (its power) is kept.
void MapVersion2Operator(std::string_view word, Category& category) {
  const Version2Operator* op = Version2OperatorOf(word);
  if (op == nullptr) return;
  category[CategoryPart::kOperator] = op->operator_;
  const std::pair<CategoryPart, std::string_view> implied[] = {{CategoryPart::kAssisted, op->assisted},
                                                                {CategoryPart::kPower, op->power},
                                                                {CategoryPart::kStation, op->station},
                                                                {CategoryPart::kTransmitter, op->transmitter}};
  for (const auto& [part, value] : implied) {
    if (!value.empty() && category[part].empty()) category[part] = value;
  }
}

}  // namespace

bool Category::IsChecklog() const { return EqualNoCase((*this)[CategoryPart::kOperator], kChecklog); }

bool Category::IsMultiTransmitter() const {
  constexpr std::array<std::string_view, 3> kTransmitters = {"TWO", "LIMITED", "UNLIMITED"};
  return IsOneOf((*this)[CategoryPart::kTransmitter], kTransmitters);
}

std::optional<std::string_view> Category::SingleBandMetres() const {
  const std::string_view band = (*this)[CategoryPart::kBand];
  if (band.size() < 2 || UpperAscii(band.back()) != 'M') return std::nullopt;
  const std::string_view metres = band.substr(0, band.size() - 1);
  for (char c : metres) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return metres;
}

std::optional<std::string_view> LineTag(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    const bool tag_char = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    if (!tag_char) break;
    ++i;
  }
  if (i == 0 || i >= line.size() || line[i] != ':') return std::nullopt;
  return line.substr(0, i);
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
  text = Trimmed(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() == ',' || text.back() == ',') return std::nullopt;
  std::int64_t value = 0;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (char c : text) {
    if (c == ',') continue;
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (value > (kMax - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

const HeaderItem* CabrilloHeader::Find(std::string_view tag) const {
  for (const HeaderItem& item : items) {
    if (EqualNoCase(item.tag, tag)) return &item;
  }
  return nullptr;
}

std::optional<std::string_view> CabrilloHeader::Value(std::string_view tag) const {
  const HeaderItem* item = Find(tag);
  if (item == nullptr) return std::nullopt;
  return item->value;
}

std::optional<std::int64_t> CabrilloHeader::ClaimedScore() const {
  const std::optional<std::string_view> value = Value(kTagClaimedScore);
  if (!value) return std::nullopt;
  return ParseWholeNumber(*value);
}

CabrilloHeader ReadCabrilloHeader(std::string_view log_text) {
  // A byte-order mark before the first tag belongs to no tag.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const std::size_t skipped = log_text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  CabrilloHeader header;
  LineReader reader(log_text.substr(skipped));
  while (const std::optional<TextLine> line = reader.Next()) {
    const std::optional<std::string_view> tag = LineTag(line->text);
    if (!tag || EqualNoCase(*tag, kTagQso) || EqualNoCase(*tag, kTagIgnoredQso)) continue;
    const std::size_t value = static_cast<std::size_t>(tag->data() - line->text.data()) + tag->size() + 1;
    header.items.push_back({*tag, Trimmed(line->text.substr(value)), line->number});
  }
  header.version = header.Value(kTagStartOfLog).value_or(std::string_view{});

  bool any_v3 = false;
  for (const CategoryPartInfo& part : CategoryParts()) {
    if (const auto value = header.Value(part.tag)) {
      header.category[part.part] = *value;
      any_v3 = true;
    }
  }
  if (!any_v3) {
    if (const auto value = header.Value(kTagCategory)) {
      const std::vector<std::string_view> words = Words(*value);
      const auto parts = Version2CategoryWords();
      for (std::size_t i = 0; i < words.size() && i < parts.size(); ++i) header.category[parts[i].part] = words[i];
      if (!words.empty()) MapVersion2Operator(words.front(), header.category);
      header.category_v2 = true;
    }
  }
  return header;
}

}  // namespace zelo
