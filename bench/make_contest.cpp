// zelo-make-contest: writes a simulated contest, one Cabrillo log per station
// that sends one, and truth.tsv with the status of every "QSO:" line.
#include <utime.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/contest_maker.h"

namespace {

constexpr std::string_view kUsage =
    "usage: zelo-make-contest --stations N --contacts-per-station M --out DIR [--seed S]\n"
    "                         [--time-window MIN] [--no-log P] [--missing P] [--busted-call P]\n"
    "                         [--busted-exchange P] [--repeat P] [--clock-inside P] [--clock-outside P]\n"
    "                         [--resubmitted P] [--portable P] [--twin P] [--single-band P] [--rework P]\n"
    "                         [--wrong-mode P] [--phone P] [--digital P]\n";

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

int Usage(std::string_view problem) {
  std::cerr << "zelo-make-contest: " << problem << "\n" << kUsage;
  return 2;
}

// Writes the file and, when `modified` is given, dates it then: of two logs
// of one call, the cross-check takes the newer.
bool WriteFile(const std::filesystem::path& path, std::string_view bytes, std::int64_t modified = 0) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  const utimbuf times{static_cast<time_t>(modified), static_cast<time_t>(modified)};
  if (out && (modified == 0 || ::utime(path.c_str(), &times) == 0)) return true;
  std::cerr << "zelo-make-contest: " << path.string() << ": " << std::strerror(errno) << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  zelo::bench::ContestRecipe recipe;
  std::string out;
  struct Rate {
    std::string_view option;
    double* value;
  };
  const Rate rates[] = {{"--no-log", &recipe.no_log},           {"--missing", &recipe.missing},
                        {"--busted-call", &recipe.busted_call}, {"--busted-exchange", &recipe.busted_exchange},
                        {"--repeat", &recipe.repeat},           {"--clock-inside", &recipe.clock_inside},
                        {"--clock-outside", &recipe.clock_outside}, {"--resubmitted", &recipe.resubmitted},
                        {"--portable", &recipe.portable},       {"--twin", &recipe.twin},
                        {"--single-band", &recipe.single_band}, {"--rework", &recipe.rework},
                        {"--wrong-mode", &recipe.wrong_mode},   {"--phone", &recipe.phone},
                        {"--digital", &recipe.digital}};
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::cout << kUsage << "P is a share from 0 to 1: of the stations, or of the contacts, the fault touches.\n";
      return 0;
    }
    if (i + 1 >= argc) return Usage(std::string(option) + " needs a value");
    const std::string_view value = argv[++i];
    bool known = false;
    for (const Rate& rate : rates) {
      if (option != rate.option) continue;
      known = true;
      if (!ParseNumber(value, *rate.value) || *rate.value < 0 || *rate.value > 1) return Usage("bad " + std::string(option));
    }
    if (known) continue;
    if (option == "--stations") {
      if (!ParseNumber(value, recipe.stations) || recipe.stations < 0) return Usage("bad --stations");
    } else if (option == "--contacts-per-station") {
      if (!ParseNumber(value, recipe.contacts_per_station) || recipe.contacts_per_station < 0) {
        return Usage("bad --contacts-per-station");
      }
    } else if (option == "--seed") {
      if (!ParseNumber(value, recipe.seed)) return Usage("bad --seed");
    } else if (option == "--time-window") {
      if (!ParseNumber(value, recipe.time_window_minutes) || recipe.time_window_minutes < 1) return Usage("bad --time-window");
    } else if (option == "--out") {
      out = value;
    } else {
      return Usage("unknown option " + std::string(option));
    }
  }
  if (out.empty()) return Usage("--out is needed");
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (error) {
    std::cerr << "zelo-make-contest: " << out << ": " << error.message() << "\n";
    return 1;
  }
  const zelo::bench::GeneratedContest contest = zelo::bench::MakeContest(recipe);
  std::size_t bytes = 0;
  for (const auto& log : contest.logs) {
    if (!WriteFile(std::filesystem::path(out) / log.name, log.bytes, log.modified)) return 1;
    bytes += log.bytes.size();
  }
  if (!WriteFile(std::filesystem::path(out) / "truth.tsv", zelo::bench::TruthTsv(contest.truth))) return 1;
  std::cout << out << ": " << contest.logs.size() << " logs, " << contest.contacts << " QSO: lines, " << bytes
            << " bytes\n";
  return 0;
}
