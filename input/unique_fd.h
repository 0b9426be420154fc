// UniqueFd: the one owner of an open file descriptor.
#pragma once

#include <unistd.h>

#include <utility>

namespace zelo {

// Owns a file descriptor and closes it when it goes; move-only. Close() closes
// early and tells whether the system took it, for writers that must know.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int Get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }

  // Gives the descriptor up without closing it.
  int Release() noexcept { return std::exchange(fd_, -1); }

  // Closes the descriptor held (if any) and takes `fd` instead.
  void Reset(int fd = -1) noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

  // Closes now; false (errno set) when close reports an error. Nothing is
  // held afterwards either way.
  bool Close() noexcept {
    const int fd = Release();
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

}  // namespace zelo
