// zelo-make-log: writes a generated contest log for timing runs.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/log_maker.h"

namespace {

constexpr std::string_view kUsage =
    "usage: zelo-make-log --contacts N --shape aligned|lf|one-line|huge-line|distinct --out FILE\n"
    "                     [--seed S] [--line-bytes B]\n";

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int Usage(std::string_view problem) {
  std::cerr << "zelo-make-log: " << problem << "\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  zelo::bench::LogRecipe recipe;
  std::string out;
  bool have_contacts = false;
  bool have_shape = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (i + 1 >= argc) return Usage(std::string(option) + " needs a value");
    const std::string_view value = argv[++i];
    if (option == "--contacts") {
      if (!ParseNumber(value, recipe.contacts) || recipe.contacts < 0) return Usage("bad --contacts");
      have_contacts = true;
    } else if (option == "--shape") {
      const auto shape = zelo::bench::ShapeFromName(value);
      if (!shape) return Usage("unknown shape " + std::string(value));
      recipe.shape = *shape;
      have_shape = true;
    } else if (option == "--out") {
      out = value;
    } else if (option == "--seed") {
      if (!ParseNumber(value, recipe.seed)) return Usage("bad --seed");
    } else if (option == "--line-bytes") {
      if (!ParseNumber(value, recipe.huge_line_bytes)) return Usage("bad --line-bytes");
    } else {
      return Usage("unknown option " + std::string(option));
    }
  }
  if (!have_contacts || !have_shape || out.empty()) return Usage("--contacts, --shape and --out are needed");

  const zelo::bench::GeneratedLog log = zelo::bench::MakeLog(recipe);
  std::FILE* file = std::fopen(out.c_str(), "wb");
  if (file == nullptr) {
    std::cerr << "zelo-make-log: " << out << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  const bool written = std::fwrite(log.text.data(), 1, log.text.size(), file) == log.text.size();
  const int write_error = errno;
  if (std::fclose(file) != 0 || !written) {
    std::cerr << "zelo-make-log: " << out << ": " << std::strerror(written ? errno : write_error) << "\n";
    return 1;
  }
  std::cout << out << ": " << log.text.size() << " bytes, " << log.facts.records << " records, "
            << log.facts.TotalQsos() << " contacts, " << log.facts.TotalMults() << " multipliers\n";
  return 0;
}
