// zelo-contest-truth: cross-checks the logs of a folder written by
// zelo-make-contest and compares every line's status with its truth.tsv:
// precision and recall per status, and the first disagreements.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "contest/contest.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: zelo-contest-truth DIR [--time-window MIN]\n";
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  zelo::ContestOptions options;
  if (argc == 4 && std::string(argv[2]) == "--time-window") options.time_window_minutes = std::stoi(argv[3]);
  zelo::ContestFiles files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.is_regular_file() && entry.path().extension() == ".log") files.paths.push_back(entry.path().string());
  }
  std::sort(files.paths.begin(), files.paths.end());
  const zelo::ContestResult result = zelo::CrossCheckContest(files, options);

  struct Found {
    std::string status, correct;
    bool counted = false;
  };
  std::map<std::pair<std::string, std::int64_t>, Found> found;
  std::int64_t superseded = 0, offsets = 0;
  for (const zelo::LogCheck& log : result.logs) {
    superseded += log.superseded_by != zelo::kNoLog ? 1 : 0;
    offsets += log.clock_offset ? 1 : 0;
    for (const zelo::ContactCheck& c : log.contacts) {
      found[{log.name, c.line}] = {std::string(zelo::StatusName(c.status)), c.correct_call, c.counted};
    }
  }
  std::ifstream truth(dir / "truth.tsv");
  std::string row;
  std::getline(truth, row);  // header
  struct Tally {
    std::int64_t true_positive = 0, expected = 0, reported = 0;
  };
  std::map<std::string, Tally> tally;
  std::int64_t lines = 0, wrong = 0;
  while (std::getline(truth, row)) {
    std::istringstream cells(row);
    std::string file, line, status, correct, counted;
    std::getline(cells, file, '\t');
    std::getline(cells, line, '\t');
    std::getline(cells, status, '\t');
    std::getline(cells, correct, '\t');
    std::getline(cells, counted, '\t');
    ++lines;
    const auto it = found.find({file, std::stoll(line)});
    const std::string got = it == found.end() ? "(none)" : it->second.status;
    const bool right = got == status && (status != "busted-call" || it->second.correct == correct) &&
                       it->second.counted == (counted == "yes");
    ++tally[status].expected;
    ++tally[got].reported;
    if (right) {
      ++tally[status].true_positive;
    } else if (++wrong <= 10) {
      std::cout << "disagree: " << file << ":" << line << " truth " << status << " " << correct << ", found " << got
                << "\n";
    }
  }
  std::cout << lines << " lines, " << wrong << " disagree; " << superseded << " logs superseded, " << offsets
            << " clock offsets found\n";
  std::cout << "status           expected   found   precision  recall\n";
  for (const auto& [status, t] : tally) {
    const auto ratio = [](std::int64_t a, std::int64_t b) { return b == 0 ? 1.0 : static_cast<double>(a) / b; };
    char text[160];
    std::snprintf(text, sizeof text, "%-15s %9lld %9lld   %.6f  %.6f\n", status.c_str(), static_cast<long long>(t.expected),
                  static_cast<long long>(t.reported), ratio(t.true_positive, t.reported), ratio(t.true_positive, t.expected));
    std::cout << text;
  }
  return wrong == 0 ? 0 : 1;
}
