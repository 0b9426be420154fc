#include "contest/output_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "views/listing.h"

namespace zelo {
namespace {

constexpr std::string_view kOntoLogReason = "that file is one of the logs";
// Writers at a time: the time goes into waiting for the disk, not the CPU.
constexpr std::size_t kWriters = 16;

std::optional<std::pair<unsigned long, unsigned long>> FileId(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return std::make_pair(static_cast<unsigned long>(st.st_dev), static_cast<unsigned long>(st.st_ino));
}

}  // namespace

OutputFolder::OutputFolder(std::string dir, const ContestResult& result) : dir_(std::move(dir)) {
  for (const LogCheck& log : result.logs) {
    if (auto id = FileId(log.file)) log_files_.insert(*id);
  }
}

OutputWrite OutputFolder::Open() {
  if (dir_.empty()) return {false, "no folder name given"};
  std::error_code error;
  std::filesystem::create_directories(dir_, error);
  if (error) return {false, dir_ + ": " + error.message()};
  if (!std::filesystem::is_directory(dir_, error)) return {false, dir_ + ": " + std::strerror(ENOTDIR)};
  return {true, {}};
}

OutputWrite OutputFolder::Write(std::string_view name, std::string_view bytes) const {
  std::string path = dir_;
  if (path.back() != '/') path += '/';
  path.append(name);
  if (auto id = FileId(path); id && log_files_.count(*id) != 0) {
    return {false, path + ": " + std::string(kOntoLogReason)};
  }
  const SaveResult saved = SaveListing(path, bytes);
  return {saved.ok, saved.reason};
}

}  // namespace zelo

namespace zelo {

OutputWrite OutputFolder::WriteEach(std::size_t count, const MakeFile& make) const {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex mutex;
  std::size_t failed_item = count;
  OutputWrite failure;
  const auto work = [&] {
    for (std::size_t i = next++; i < count && !failed; i = next++) {
      const auto [name, bytes] = make(i);
      OutputWrite written = Write(name, bytes);
      if (written.ok) continue;
      failed = true;
      const std::lock_guard<std::mutex> lock(mutex);
      if (i < failed_item) {
        failed_item = i;
        failure = std::move(written);
      }
    }
  };
  {
    std::vector<std::jthread> writers;
    for (std::size_t w = 1; w < std::min(kWriters, count); ++w) {
      try {
        writers.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: those running do the rest
      }
    }
    work();
  }
  if (failed) return failure;
  return {true, {}};
}

}  // namespace zelo
