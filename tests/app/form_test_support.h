// Shared by the Form1 tests: a temporary folder, small column-aligned logs,
// and a fixture that drives Form1 against the recording window.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "fakes/recording_window.h"

namespace zelo::fakes {

// Test cases print as their name.
template <typename Case>
  requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// A fresh folder under the system's temp folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelo-app-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path(std::string_view name) const { return path_ + "/" + std::string(name); }
  const std::string& Root() const { return path_; }

  // Writes `bytes` to the file `name` and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = Path(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

 private:
  std::string path_;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// How many entries a folder holds.
inline long CountEntries(const std::string& folder) {
  return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
}

// One contact of a test log: its frequency field, worked call and
// multiplier item (field 13; field 11 is always 599, so every item counts).
struct Contact {
  std::string_view freq;
  std::string_view call;
  std::string_view item = "BU";
};

inline std::string Padded(std::string_view text, std::size_t width, bool right) {
  const std::string pad(text.size() < width ? width - text.size() : 0, ' ');
  return right ? pad + std::string(text) : std::string(text) + pad;
}

// A contact line with every column at a fixed place, so that all lines of a
// log have the same length when the items do.
inline std::string QsoLine(const Contact& c) {
  return "QSO: " + Padded(c.freq, 5, true) + " CW 2026-02-14 0000 YO3ZELO       599 0001 BU " +
         Padded(c.call, 13, false) + " 599 0098 " + std::string(c.item) + "\r\n";
}

inline constexpr std::string_view kLogHead = "START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\n";
inline constexpr std::string_view kLogEnd = "END-OF-LOG:\r\n";

// A CR LF log holding the given contacts.
inline std::string MakeLog(std::initializer_list<Contact> contacts) {
  std::string log(kLogHead);
  for (const Contact& c : contacts) log += QsoLine(c);
  log += kLogEnd;
  return log;
}

// Two contacts on 20 m and one on 40 m: items AR and HR on 20 m, CL on 40 m.
inline std::string SmallLog() {
  return MakeLog({{"14025", "YPZGO", "HR"}, {"7205", "YRET", "CL"}, {"14202", "E7VVD", "AR"}});
}

inline const std::string kRule94(94, '_');

// Drives one Form1 against one RecordingWindow, with files in a temp folder.
class FormFixture {
 public:
  FormFixture() : form(window) {}

  // Presses the start button and opens `path` through File/Open.
  void Open(const std::string& path) {
    form.cmdCommand1_Click();
    window.open_answers = {path};
    form.mnuFileOpen_Click();
  }
  // Writes `log` as log.txt, starts and opens it; returns its path.
  std::string OpenLog(std::string_view log) {
    const std::string path = files.Write("log.txt", log);
    Open(path);
    return path;
  }
  // Saves the listing to `path` through File/Save.
  void Save(const std::string& path) {
    window.save_answers = {path};
    form.mnuFileSave_Click();
  }

  TempFolder files;
  RecordingWindow window;
  Form1 form;
};

}  // namespace zelo::fakes
