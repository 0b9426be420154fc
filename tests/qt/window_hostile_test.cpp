// Odd logs through the real window: each is scored, the list box holds the
// report byte for byte, and a log whose contacts are all on no band fits
// its prompt no more often than one whose contacts are all stored.
#include <optional>
#include <string>

#include <QAbstractButton>
#include <QEvent>
#include <QtTest>

#include "app/qt_window.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "support/contacts.h"
#include "support/files.h"

using zelo::DialogKind;
using zelo::DialogSettings;
using zelo::QtWindow;

namespace {

using zelo::test::ContactLine;
using zelo::test::Numbered;

// `count` contacts on `freq`, each with its own call and item, one per line.
std::string ManyContacts(const std::string& freq, int count) {
  std::string log = "START-OF-LOG: 3.0\r\n";
  for (int i = 0; i < count; ++i) log += ContactLine(freq, Numbered("K", i), Numbered("M", i)) + "\r\n";
  return log;
}

// Counts the events of one type that reach a widget.
class EventCounter : public QObject {
 public:
  explicit EventCounter(QEvent::Type type) : type_(type) {}
  int count() const { return count_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_) ++count_;
    return false;
  }

 private:
  QEvent::Type type_;
  int count_ = 0;
};

}  // namespace

class WindowHostileTest : public QObject {
  Q_OBJECT

 private:
  // Opens `log` (written to a file first) through File/Open of a fresh
  // window; gives the window after the run. `counter`, when given, watches
  // the prompt button during File/Open.
  std::unique_ptr<QtWindow> Open(const std::string& log, EventCounter* counter = nullptr) {
    const std::string chosen = dir_.Write("chosen.log", log);
    auto window = std::make_unique<QtWindow>();
    window->SetDialogHook([chosen](DialogKind, const DialogSettings&) { return std::optional<std::string>(chosen); });
    window->form().cmdCommand1_Click();
    auto* prompt = window->findChild<QAbstractButton*>(QStringLiteral("cmdCommand1"));
    if (counter != nullptr) prompt->installEventFilter(counter);
    window->form().mnuFileOpen_Click();
    if (counter != nullptr) prompt->removeEventFilter(counter);
    return window;
  }

  zelo::test::ScratchDir dir_;

 private slots:
  void OddLogShowsItsReport_data() {
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<qint64>("qsos");
    const QByteArray head("START-OF-LOG: 3.0\r\n");
    const auto bytes = [](const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); };
    QTest::newRow("NulBytes") << head + bytes(ContactLine("14025", std::string("W1\0AW", 5), std::string("M\0X", 3)) + "\r\n")
                              << qint64{1};
    QTest::newRow("NonAsciiBytes") << head + bytes(ContactLine("14025", "\xC5\x9ETEFAN", "\xFF\xFE") + "\r\n") << qint64{1};
    QTest::newRow("TenMegabyteItem") << head + bytes(ContactLine("14025", "K1ABC", std::string(10'000'000, 'I')) + "\r\n")
                                     << qint64{1};
    QTest::newRow("HundredThousandTagsOnOneLine") << head + QByteArray("QSO:").repeated(100'000) + "\r\n" << qint64{0};
    QTest::newRow("CrOnlyLineEnds") << QByteArray("START-OF-LOG: 3.0\r") + bytes(ContactLine("7040", "K1", "A") + "\r") +
                                           bytes(ContactLine("7041", "K2", "B") + "\r")
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

  // Every record on no band shows the save prompt again; a prompt that is
  // already shown is not fitted to its button again (each fitting sets the
  // tool tip), so a log of such records costs no more than a stored one.
  void ContactsOnNoBandFitThePromptNoMoreOftenThanStoredOnes() {
    EventCounter stored(QEvent::ToolTipChange), no_band(QEvent::ToolTipChange);
    QVERIFY(Open(ManyContacts("14100", 10'000), &stored));
    const auto window = Open(ManyContacts("50100", 10'000), &no_band);
    QVERIFY(window);
    QCOMPARE(window->form().WorkflowStep(), 3);
    QVERIFY2(stored.count() > 0, "the prompt was never fitted");
    QCOMPARE(no_band.count(), stored.count());
  }
};

QTEST_MAIN(WindowHostileTest)
#include "window_hostile_test.moc"
