// Shared helpers of the zelo-score tests: a scratch folder, hand-made logs,
// and running the scorer in-process.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zelo::test {

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

inline CliRun RunZelo(const std::vector<std::string>& args, const CliStreams& streams = {}) {
  std::vector<const char*> argv{"zelo-score"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  CliRun run;
  run.code = RunCli(static_cast<int>(argv.size()), argv.data(), out, err, streams);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// One contact line of a column-free log: the thirteen fields the scoring reads.
inline std::string Contact(std::string_view freq, std::string_view call, std::string_view report,
                           std::string_view item, std::string_view my_call = "YO3ZELO") {
  std::string line = "QSO: ";
  line.append(freq).append(" CW 2026-02-14 0000 ").append(my_call).append(" 599 0001 BU ");
  line.append(call).append(" ").append(report).append(" 0010 ").append(item);
  return line;
}

// A log of the given lines: header first, END-OF-LOG last, `eol` after each.
inline std::string MakeLog(const std::vector<std::string>& lines, std::string_view eol = "\r\n") {
  std::string log = "START-OF-LOG: 3.0";
  log += eol;
  for (const std::string& line : lines) log.append(line).append(eol);
  log.append("END-OF-LOG:").append(eol);
  return log;
}

// A fresh folder for one test, removed afterwards.
class ScratchTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelo-cli-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes `bytes` to `name` in the scratch folder and gives its path.
  std::string File(const std::string& name, std::string_view bytes) {
    const std::string path = Path(name);
    WriteBytes(path, bytes);
    return path;
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir_;
};

}  // namespace zelo::test
