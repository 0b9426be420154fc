// The cross-check of a whole contest, phase by phase: the files found and
// read, the logs scored, resubmissions set aside, the calls numbered, the
// contacts bucketed and paired, busted calls and clock offsets found, and
// every log concluded.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "contest/buckets.h"
#include "contest/busted_calls.h"
#include "contest/clock_offset.h"
#include "contest/conclusion.h"
#include "contest/loading.h"
#include "input/log_file.h"
#include "io/output_folder.h"
#include "io/parallel_for.h"

namespace zelo {
namespace {

namespace fs = std::filesystem;

std::string NameOf(const std::string& path) { return fs::path(path).filename().string(); }

// A folder's files and those of its subfolders, by name.
void Walk(const std::string& dir, ContestFiles& files) {
  std::error_code error;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) entries.push_back(*it);
  if (error) {
    files.skipped.push_back({dir, NameOf(dir), error.message(), {}});
    return;
  }
  std::sort(entries.begin(), entries.end());
  const std::vector<std::string> written = ManifestNames(dir);
  for (const fs::directory_entry& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with('.')) continue;
    if (std::find(written.begin(), written.end(), name) != written.end()) continue;
    std::error_code kind_error;
    const std::string path = entry.path().string();
    if (entry.is_directory(kind_error)) {
      if (entry.is_symlink(kind_error)) {
        files.skipped.push_back({path, name, "it is a link to a folder, which is not followed", {}});
      } else {
        Walk(path, files);
      }
    } else if (entry.is_regular_file(kind_error)) {
      files.paths.push_back(path);
    } else if (entry.is_symlink(kind_error)) {
      files.skipped.push_back({path, name, "it is a link to nothing", {}});
    } else {
      files.skipped.push_back({path, name, "it is not a regular file", {}});
    }
  }
}

std::int64_t ModifiedAt(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

ContestResult Run(std::vector<LogInput> inputs, std::vector<SkippedFile> skipped, const ContestOptions& options) {
  ContestWork work;
  work.threads = options.threads > 0 ? options.threads : HardwareThreads();
  work.window = options.time_window_minutes;
  work.penalty = options.penalty;
  work.store = std::make_shared<ContestStore>();
  work.result.skipped = std::move(skipped);
  work.result.time_window_minutes = options.time_window_minutes;
  work.result.penalty = options.penalty;
  LoadLogs(work, std::move(inputs));
  SetAsideResubmissions(work);
  NumberCalls(work);
  FillBuckets(work);
  PairBuckets(work);
  FindBustedCalls(work);
  FindClockOffsets(work);
  ParallelFor(work.logs.size(), work.threads, [&work](std::size_t i) { Conclude(work, i); });
  std::shared_ptr<const ContestStore> store = std::move(work.store);
  for (std::size_t i = 0; i < work.result.logs.size(); ++i) {
    if (work.result.logs[i].superseded_by == kNoLog) work.result.logs[i].contacts = ContactList(store, i);
  }
  return std::move(work.result);
}

}  // namespace

ContestFiles FindContestFiles(const std::vector<std::string>& arguments) {
  ContestFiles found;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (fs::is_directory(argument, error)) {
      Walk(argument, found);
    } else {
      found.paths.push_back(argument);  // refused when read, with the system's reason
    }
  }
  // Each file once, however often it is named.
  std::set<std::pair<std::uint64_t, std::uint64_t>> seen;
  std::vector<std::string> once;
  for (std::string& path : found.paths) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 &&
        !seen.emplace(static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)).second) {
      continue;
    }
    once.push_back(std::move(path));
  }
  found.paths = std::move(once);
  return found;
}

ContestResult CrossCheckContest(const ContestFiles& files, const ContestOptions& options) {
  const std::size_t n = files.paths.size();
  std::vector<LogInput> read(n);
  std::vector<std::optional<SkippedFile>> refused(n);
  const unsigned threads = options.threads > 0 ? options.threads : HardwareThreads();
  ParallelFor(n, threads, [&](std::size_t i) {
    const std::string& path = files.paths[i];
    FileRead file = ReadWholeFile(path);
    if (!file.ok) {
      refused[i] = SkippedFile{path, NameOf(path), file.error.empty() ? "it cannot be read" : file.error, {}};
      return;
    }
    const HeaderCheck header = CheckLogHeader(file.bytes);
    if (!header.valid) {
      refused[i] = SkippedFile{path, NameOf(path), "it is not a Cabrillo log: it does not begin with START-OF-LOG:",
                               header.reason};
      return;
    }
    struct stat st {};
    read[i] = {path, std::move(file.bytes), ::stat(path.c_str(), &st) == 0 ? ModifiedAt(st) : 0};
  });
  std::vector<LogInput> inputs;
  std::vector<SkippedFile> skipped = files.skipped;
  for (std::size_t i = 0; i < n; ++i) {
    if (refused[i]) {
      skipped.push_back(std::move(*refused[i]));
    } else {
      inputs.push_back(std::move(read[i]));
    }
  }
  return Run(std::move(inputs), std::move(skipped), options);
}

ContestResult CrossCheckLogs(std::vector<NamedLog> logs, const ContestOptions& options) {
  std::vector<LogInput> inputs;
  std::vector<SkippedFile> skipped;
  for (NamedLog& log : logs) {
    const HeaderCheck header = CheckLogHeader(log.bytes);
    if (!header.valid) {
      skipped.push_back({log.name, NameOf(log.name), "it is not a Cabrillo log: it does not begin with START-OF-LOG:",
                         header.reason});
      continue;
    }
    inputs.push_back({std::move(log.name), std::move(log.bytes), log.modified});
  }
  return Run(std::move(inputs), std::move(skipped), options);
}

}  // namespace zelo
