// Scratch folders and file bytes, for every test program.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace zelo::test {

// The bytes of a regular file; empty for anything else or when unreadable.
inline std::string ReadBytes(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// True when something (a link too, dangling or not) has this name.
inline bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// The names in a folder, sorted; hidden ones (a stray temporary file) included.
inline std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh folder under the system's temp folder that the user nobody may
// enter and write too, removed with everything in it afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::cerr << "mkdtemp " << pattern << ": " << std::strerror(errno) << '\n';
      std::abort();  // no test can go on without its folder
    }
    root_ = pattern;
    ::chmod(root_.c_str(), 0777);
  }
  ~ScratchDir() {
    // Folders made read-only by a test must be writable again to be removed.
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0777);
    }
    std::filesystem::remove_all(root_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Root() const { return root_; }
  std::string Path(std::string_view name) const { return root_ + "/" + std::string(name); }
  std::filesystem::path operator/(std::string_view name) const { return std::filesystem::path(root_) / name; }

  // Writes `bytes` as `name`, readable by everyone, and gives its path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = Path(name);
    WriteBytes(path, bytes);
    ::chmod(path.c_str(), 0644);
    return path;
  }
  // Makes the folder `name` with `mode` and gives its path.
  std::string Folder(std::string_view name, mode_t mode = 0777) const {
    const std::string path = Path(name);
    ::mkdir(path.c_str(), mode);
    ::chmod(path.c_str(), mode);
    return path;
  }
  std::vector<std::string> Names() const { return NamesIn(root_); }

 private:
  std::string root_;
};

}  // namespace zelo::test
