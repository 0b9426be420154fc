// Shared by the Form1 tests: small column-aligned logs, and a fixture that drives Form1 against the recording window.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "fakes/recording_window.h"
#include "support/cases.h"
#include "support/contacts.h"
#include "support/files.h"

namespace zelo::fakes {

using test::ColumnLine;
using test::Contact;
using test::Exists;
using test::PrintTo;
using test::ReadBytes;
using test::ScratchDir;

inline constexpr std::string_view kLogHead = "START-OF-LOG: 3.0\r\nCALLSIGN: YO3ZELO\r\n";
inline constexpr std::string_view kLogEnd = "END-OF-LOG:\r\n";

// A contact in fixed columns, ended by CR LF.
inline std::string QsoLine(const Contact& c) { return ColumnLine(c) + "\r\n"; }

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

  ScratchDir files;
  RecordingWindow window;
  Form1 form;
};

}  // namespace zelo::fakes
