// Writing a file safely: complete or not at all, never over a log.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "input/log_file.h"
#include "input/messages.h"

namespace zelo {

// The outcome of a save: done, or the reason it was not.
struct SaveResult {
  bool ok = false;
  std::string reason;  // names the file and the system's reason when !ok
  bool onto_log = false;  // refused because the file is one of the logs read
  bool a_log = false;     // refused because the file is a Cabrillo log
};

// True when the regular file at `path` begins as a Cabrillo log does
// (START-OF-LOG: after blanks, blank lines or a byte-order mark). Only its
// start is read, without waiting; a file that cannot be read is no log.
bool IsCabrilloLog(const std::string& path);

// Writes `bytes` to `path`. A regular file, or a new one, is replaced only
// once the whole content is on disk (a temporary file in the same folder,
// then renamed over it), so a failed save leaves any old file as it was; a
// symbolic link is followed and stays a link, and a link to a file that does
// not exist yet creates that file. A device or pipe is written straight
// through. A path that names an open descriptor of this process
// (/dev/stdout, /dev/fd/N, /proc/self/fd/N, or a link to one) is written
// through that descriptor, where its redirection left it: appended or not,
// never truncated or replaced. When `log_path` is given and names the same
// file as `path`, however spelled, nothing is written; nor when `path` is an
// existing file that begins with START-OF-LOG: (after blanks, blank lines or
// a byte-order mark), whatever its name: no log is ever replaced.
SaveResult SaveListing(const std::string& path, std::string_view bytes,
                       const std::string& log_path = {});

// As above, refusing every file in `logs` (the logs as they were read).
SaveResult SaveListing(const std::string& path, std::string_view bytes,
                       std::span<const FileIdentity> logs);

}  // namespace zelo
