// Odd logs through the real window: each is scored, the list box holds the
// report byte for byte, and a log whose contacts are all on no band opens
// about as fast as one whose contacts are all stored.
#include <chrono>
#include <optional>
#include <string>

#include <QTemporaryDir>
#include <QtTest>

#include "app/qt_window.h"
#include "scoring/report.h"
#include "scoring/score_log.h"

using zelo::DialogKind;
using zelo::DialogSettings;
using zelo::QtWindow;

namespace {

std::string Contact(const std::string& freq, const std::string& call, const std::string& item) {
  std::string line = "QSO: ";
  line.append(freq).append(" CW 2026-02-14 0000 YO3ZELO 599 0001 BU ").append(call).append(" 599 0098 ").append(item);
  return line;
}

// `count` contacts on `freq`, each with its own call and item, one per line.
std::string ManyContacts(const std::string& freq, int count) {
  std::string log = "START-OF-LOG: 3.0\r\n";
  for (int i = 0; i < count; ++i) {
    log += Contact(freq, std::string("K").append(std::to_string(i)), std::string("M").append(std::to_string(i)));
    log += "\r\n";
  }
  return log;
}

}  // namespace

class WindowHostileTest : public QObject {
  Q_OBJECT

 private:
  // Opens `log` (written to a file first) through File/Open of a fresh
  // window; gives the window after the run and the seconds File/Open took.
  std::unique_ptr<QtWindow> Open(const std::string& log, double* seconds = nullptr) {
    const QString path = dir_.filePath("chosen.log");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return nullptr;
    file.write(log.data(), static_cast<qint64>(log.size()));
    file.close();
    auto window = std::make_unique<QtWindow>();
    const std::string chosen = path.toStdString();
    window->SetDialogHook([chosen](DialogKind, const DialogSettings&) { return std::optional<std::string>(chosen); });
    window->form().cmdCommand1_Click();
    const auto start = std::chrono::steady_clock::now();
    window->form().mnuFileOpen_Click();
    if (seconds != nullptr) *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return window;
  }

  QTemporaryDir dir_;

 private slots:
  void OddLogShowsItsReport_data() {
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<qint64>("qsos");
    const QByteArray head("START-OF-LOG: 3.0\r\n");
    const auto bytes = [](const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); };
    QTest::newRow("NulBytes") << head + bytes(Contact("14025", std::string("W1\0AW", 5), std::string("M\0X", 3)) + "\r\n")
                              << qint64{1};
    QTest::newRow("NonAsciiBytes") << head + bytes(Contact("14025", "\xC5\x9ETEFAN", "\xFF\xFE") + "\r\n") << qint64{1};
    QTest::newRow("TenMegabyteItem") << head + bytes(Contact("14025", "K1ABC", std::string(10'000'000, 'I')) + "\r\n")
                                     << qint64{1};
    QTest::newRow("HundredThousandTagsOnOneLine") << head + QByteArray("QSO:").repeated(100'000) + "\r\n" << qint64{0};
    QTest::newRow("CrOnlyLineEnds") << QByteArray("START-OF-LOG: 3.0\r") + bytes(Contact("7040", "K1", "A") + "\r") +
                                           bytes(Contact("7041", "K2", "B") + "\r")
                                    << qint64{2};
  }

  void OddLogShowsItsReport() {
    QFETCH(QByteArray, log);
    QFETCH(qint64, qsos);
    const std::string text(log.constData(), static_cast<std::size_t>(log.size()));
    const auto window = Open(text);
    QVERIFY(window);
    QCOMPARE(window->form().WorkflowStep(), 3);
    const zelo::ScoreResult expected = zelo::ScoreLog(text);
    QCOMPARE(expected.total_qsos, qsos);
    QCOMPARE(window->ListLineCount(), WriteReport(expected).size());
    for (std::size_t i = 0; i < WriteReport(expected).size(); ++i) {
      QVERIFY2(window->ListLine(i) == WriteReport(expected)[i], qPrintable(QString("line %1 differs").arg(i)));
    }
  }

  // Every record on no band shows the save prompt again; showing the prompt
  // that is already shown must cost next to nothing.
  void ContactsOnNoBandOpenAsFastAsStoredOnes() {
    double stored_seconds = 0, no_band_seconds = 0;
    QVERIFY(Open(ManyContacts("14100", 100'000), &stored_seconds));
    const auto window = Open(ManyContacts("50100", 100'000), &no_band_seconds);
    QVERIFY(window);
    QCOMPARE(window->form().WorkflowStep(), 3);
    QVERIFY2(no_band_seconds < 5 * stored_seconds + 0.2,
             qPrintable(QString("no band %1 s, stored %2 s").arg(no_band_seconds).arg(stored_seconds)));
  }
};

QTEST_MAIN(WindowHostileTest)
#include "window_hostile_test.moc"
