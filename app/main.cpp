// zelo-calc: the desktop score calculator.
#include <csignal>

#include <QApplication>

#include "app/qt_window.h"
#include "zelo/version.h"

int main(int argc, char* argv[]) {
  // A file-size limit must fail a save (reported on the prompt line), not
  // end the program.
  std::signal(SIGXFSZ, SIG_IGN);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelo-calc"));
  QApplication::setApplicationVersion(QString::fromUtf8(zelo::kVersion.data(), static_cast<qsizetype>(zelo::kVersion.size())));

  zelo::QtWindow window;
  window.show();
  return QApplication::exec();
}
