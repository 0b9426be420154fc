// A folder of output files (reports, a results site), each written safely
// through SaveListing and never over a log. The folder keeps a list of what
// the program wrote there (its manifest): a run replaces or removes only
// files of that list, so that no stale page of an earlier run stays and no
// file of anyone else's is ever replaced.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/log_file.h"

namespace zelo {

// How writing an output went: ok, or the path that failed and the system's reason.
struct OutputWrite {
  bool ok = true;
  std::string error;  // "<path>: <reason>" when !ok
};

// The file in an output folder that lists what the program wrote there.
inline constexpr std::string_view kManifestName = ".zelo-outputs";

// The names an output folder's manifest lists; none when it has none.
std::vector<std::string> ManifestNames(const std::string& dir);

class OutputFolder {
 public:
  // `logs`: the files no output may replace.
  OutputFolder(std::string dir, std::vector<FileIdentity> logs);

  // Makes `dir` (and its parents) when missing and makes sure every file of
  // `names` may be written: one that is there already must be on the
  // manifest and must not be a log. When one may not, nothing is written and
  // the first such file is named with the reason.
  OutputWrite Open(const std::vector<std::string>& names);

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

  // Once every file is written: removes the files of earlier runs that this
  // one did not write again, and leaves the manifest listing this run's.
  OutputWrite Finish();

 private:
  std::string PathOf(std::string_view name) const;
  OutputWrite WriteManifest(const std::vector<std::string>& names) const;

  std::string dir_;
  std::vector<FileIdentity> logs_;
  std::vector<std::string> names_;     // what this run writes
  std::vector<std::string> earlier_;   // what the manifest listed before it
};

}  // namespace zelo
