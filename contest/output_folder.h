// A folder of output files, each written safely through SaveListing, never
// over one of the contest's logs.
#pragma once

#include <cstddef>
#include <functional>
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

  // The file name and bytes of item i.
  using MakeFile = std::function<std::pair<std::string, std::string>(std::size_t i)>;
  // Makes and writes items 0 to count - 1 as Write does, several at a time
  // (each write waits on the disk far longer than making it takes). On a
  // failure the writing stops; the failure of the first item that failed is
  // returned.
  OutputWrite WriteEach(std::size_t count, const MakeFile& make) const;

 private:
  std::string dir_;
  std::set<std::pair<unsigned long, unsigned long>> log_files_;  // (device, inode) of each log
};

}  // namespace zelo
