#include "views/listing.h"

#include <string_view>

namespace zelo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string ListingBytes(std::span<const std::string> lines) {
  std::size_t size = kLineEnd.size();
  for (const std::string& line : lines) size += line.size() + kLineEnd.size();
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += kLineEnd;
  }
  bytes += kLineEnd;
  return bytes;
}

}  // namespace zelo
