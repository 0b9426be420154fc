#include "io/output_folder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "io/parallel_for.h"
#include "io/safe_save.h"

namespace zelo {
namespace {

constexpr std::string_view kOntoLogReason = "that file is one of the logs";
// Writers at a time: the time goes into waiting for the disk, not the CPU.
constexpr unsigned kWriters = 16;

}  // namespace

std::vector<std::string> ManifestNames(const std::string& dir) {
  std::string path = dir;
  if (!path.empty() && path.back() != '/') path += '/';
  path.append(kManifestName);
  const FileRead read = ReadWholeFile(path);
  std::vector<std::string> names;
  if (!read.ok) return names;
  std::string_view rest = read.bytes;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    if (const std::string_view name = rest.substr(0, end); !name.empty()) names.emplace_back(name);
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return names;
}

OutputFolder::OutputFolder(std::string dir, std::vector<FileIdentity> logs)
    : dir_(std::move(dir)), logs_(std::move(logs)) {}

std::string OutputFolder::PathOf(std::string_view name) const {
  std::string path = dir_;
  if (path.back() != '/') path += '/';
  return path.append(name);
}

OutputWrite OutputFolder::Open(const std::vector<std::string>& names) {
  if (dir_.empty()) return {false, "no folder name given"};
  std::error_code error;
  std::filesystem::create_directories(dir_, error);
  if (error) return {false, dir_ + ": " + error.message()};
  if (!std::filesystem::is_directory(dir_, error)) return {false, dir_ + ": " + std::strerror(ENOTDIR)};
  earlier_ = ManifestNames(dir_);
  names_ = names;
  for (const std::string& name : names_) {
    const std::string path = PathOf(name);
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) continue;
    if (IsCabrilloLog(path)) return {false, path + " is a Cabrillo log; not replaced: choose another folder"};
    if (std::find(earlier_.begin(), earlier_.end(), name) == earlier_.end()) {
      return {false, path + ": not replaced: zelo-score did not write it; choose another folder or remove it"};
    }
  }
  // Listed before they are written: should the run stop half way, the next
  // one knows them for its own.
  std::vector<std::string> both = earlier_;
  for (const std::string& name : names_) {
    if (std::find(both.begin(), both.end(), name) == both.end()) both.push_back(name);
  }
  return WriteManifest(both);
}

OutputWrite OutputFolder::WriteManifest(const std::vector<std::string>& names) const {
  std::string bytes;
  for (const std::string& name : names) bytes.append(name).append("\n");
  const SaveResult saved = SaveListing(PathOf(kManifestName), bytes, logs_);
  return {saved.ok, saved.reason};
}

OutputWrite OutputFolder::Finish() {
  for (const std::string& name : earlier_) {
    if (std::find(names_.begin(), names_.end(), name) != names_.end()) continue;
    const std::string path = PathOf(name);
    if (IsCabrilloLog(path)) continue;
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) return {false, path + ": " + error.message()};
  }
  return WriteManifest(names_);
}

OutputWrite OutputFolder::Write(std::string_view name, std::string_view bytes) const {
  const std::string path = PathOf(name);
  const SaveResult saved = SaveListing(path, bytes, logs_);
  if (saved.onto_log) return {false, path + ": " + std::string(kOntoLogReason)};
  return {saved.ok, saved.reason};
}

OutputWrite OutputFolder::WriteEach(std::size_t count, const MakeFile& make) const {
  std::atomic<bool> failed{false};
  std::mutex mutex;
  std::size_t failed_item = count;
  OutputWrite failure;
  ParallelFor(count, kWriters, [&](std::size_t i) {
    if (failed) return;
    const auto [name, bytes] = make(i);
    OutputWrite written = Write(name, bytes);
    if (written.ok) return;
    failed = true;
    const std::lock_guard<std::mutex> lock(mutex);
    if (i < failed_item) {
      failed_item = i;
      failure = std::move(written);
    }
  });
  if (failed) return failure;
  return {true, {}};
}

}  // namespace zelo
