// A folder of output files, each written safely through SaveListing, never
// over one of the contest's logs.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "contest/contest.h"
#include "contest/contest_output.h"

namespace zelo {

class OutputFolder {
 public:
  // Makes `dir` (and its parents) when missing; Open tells whether it could.
  OutputFolder(std::string dir, const ContestResult& result);
  OutputWrite Open();

  // Writes `name` in the folder: a temporary file renamed over it, so it is
  // complete or as it was. A name that is one of the logs is refused.
  OutputWrite Write(std::string_view name, std::string_view bytes) const;

 private:
  std::string dir_;
  std::set<std::pair<unsigned long, unsigned long>> log_files_;  // (device, inode) of each log
};

}  // namespace zelo
