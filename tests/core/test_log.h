// Helpers shared by the core tests: contest logs written in the test, and a
// scratch folder that is removed afterwards.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace zelo::testing_support {

// One contact as a test writes it.
struct Qso {
  std::string freq;
  std::string call;
  std::string rst = "599";  // field 11
  std::string item = "HR";  // field 13
};

inline std::string PadRight(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

// A contact line laid out in fixed columns like a logging program writes it,
// so every line of a log has the same length (when the texts fit).
inline std::string AlignedLine(const Qso& q, std::string_view my_call = "YO3ZELO",
                               std::string_view eol = "\r\n") {
  std::string line = "QSO: " + PadRight(q.freq, 5) + " CW 2026-02-14 0000 " + PadRight(my_call, 12) +
                     " 599 0001 BU " + PadRight(q.call, 10) + " " + PadRight(q.rst, 3) + " 0098 " +
                     PadRight(q.item, 4);
  line += eol;
  return line;
}

inline constexpr std::string_view kHeaderLines =
    "START-OF-LOG: 3.0\r\nCONTEST: ZELO-RAZEZUZ\r\nCALLSIGN: YO3ZELO\r\nCATEGORY-BAND: ALL\r\n";

// A whole log: header lines, one aligned line per contact, END-OF-LOG.
inline std::string AlignedLog(std::span<const Qso> qsos, std::string_view eol = "\r\n",
                              std::string_view my_call = "YO3ZELO") {
  std::string text;
  for (char c : kHeaderLines) {
    if (c == '\r') continue;
    if (c == '\n') {
      text += eol;
    } else {
      text += c;
    }
  }
  for (const Qso& q : qsos) text += AlignedLine(q, my_call, eol);
  text += "END-OF-LOG:";
  text += eol;
  return text;
}

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileText(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The names in a folder, sorted.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh folder under the system's temp folder, removed with its content.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  std::vector<std::string> Names() const { return NamesIn(path_); }

 private:
  std::filesystem::path path_;
};

// The lines of a report joined, each followed by "\n" (the golden file form).
inline std::string JoinLines(std::span<const std::string> lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += line;
    out += '\n';
  }
  return out;
}

}  // namespace zelo::testing_support
