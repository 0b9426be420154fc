// zelo-calc: the desktop score calculator.
//   zelo-calc [LOG]   starts with LOG opened, as File/Open would open it.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include <QApplication>
#include <QTimer>

#include "app/qt_window.h"
#include "zelo/version.h"

namespace {

constexpr const char* kUsage = "Usage: zelo-calc [LOG]\n";

}  // namespace

int main(int argc, char* argv[]) {
  // A file-size limit must fail a save (reported on the prompt line), not
  // end the program.
  std::signal(SIGXFSZ, SIG_IGN);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelo-calc"));
  QApplication::setApplicationVersion(QString::fromUtf8(zelo::kVersion.data(), static_cast<qsizetype>(zelo::kVersion.size())));

  // Qt has taken its own options out of argv by now. The log's name is kept
  // as bytes, whatever the locale makes of them.
  std::string log;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] == '\0') continue;
    if (!options_done && std::strcmp(arg, "--") == 0) {
      options_done = true;
    } else if (!options_done && std::strcmp(arg, "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (!options_done && std::strcmp(arg, "--version") == 0) {
      std::printf("zelo-calc %.*s\n", static_cast<int>(zelo::kVersion.size()), zelo::kVersion.data());
      return 0;
    } else if (!options_done && arg[0] == '-' && arg[1] != '\0') {
      std::fprintf(stderr, "zelo-calc: unknown option %s\n%s", arg, kUsage);
      return 2;
    } else if (log.empty()) {
      log = arg;
    } else {
      std::fprintf(stderr, "zelo-calc: one LOG at most\n%s", kUsage);
      return 2;
    }
  }

  zelo::QtWindow window;
  window.show();
  // Once the window is up, so that the run's progress shows in it.
  if (!log.empty()) {
    QTimer::singleShot(0, &window, [&window, log] { window.form().OpenLogFromCommandLine(log); });
  }
  return QApplication::exec();
}
