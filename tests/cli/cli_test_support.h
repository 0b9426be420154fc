// Shared helpers of the zelo-score tests: running the scorer in-process, a
// fixture with a scratch folder, and contact lines in the order read aloud.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "support/contacts.h"
#include "support/files.h"

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

// One contact line, field 11 `report` and field 13 `item` in the order a
// contact is read aloud.
inline std::string QsoLine(std::string_view freq, std::string_view call, std::string_view report,
                           std::string_view item, std::string_view my_call = "YO3ZELO") {
  return ContactLine({freq, call, item, report, my_call});
}

// A fresh folder for one test, removed afterwards.
class ScratchTest : public testing::Test {
 protected:
  // Writes `bytes` to `name` in the scratch folder and gives its path.
  std::string File(const std::string& name, std::string_view bytes) { return scratch_.Write(name, bytes); }
  std::string Path(const std::string& name) const { return scratch_.Path(name); }
  std::vector<std::string> Names() const { return scratch_.Names(); }
  const std::string& Root() const { return scratch_.Root(); }

 private:
  ScratchDir scratch_;
};

}  // namespace zelo::test
