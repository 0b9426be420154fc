// One pass through the real window: start, open the sample log, look at a
// band, back to the summary, save; the saved file must match the
// command-line scorer's byte for byte.
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <QAction>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "app/qt_window.h"
#include "input/log_file.h"
#include "scoring/report.h"
#include "scoring/score_log.h"
#include "views/band_view.h"
#include "views/listing.h"

using zelo::Band;
using zelo::Control;
using zelo::DialogKind;
using zelo::DialogSettings;
using zelo::QtWindow;

namespace {

const std::string kSampleLog = ZELO_SAMPLES "/sample.log";

struct ShownState {
  bool list, progress, bands, sum, open_enabled, save_enabled;
};

struct BandButton {
  const char* name;
  Band band;
};

const BandButton kBandButtons[] = {{"Option160", Band::k160}, {"Option80", Band::k80},
                                   {"Option40", Band::k40},   {"Option20", Band::k20},
                                   {"Option15", Band::k15},   {"Option10", Band::k10}};

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class WindowWorkflowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<QtWindow>();
    dialogs_.clear();
    answers_.clear();
    window_->SetDialogHook([this](DialogKind kind, const DialogSettings& settings) {
      dialogs_.push_back({kind, settings.title, settings.filter_description,
                          settings.filter_pattern, settings.initial_name});
      if (answers_.empty()) return std::optional<std::string>();
      std::optional<std::string> answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  void ScoreViewSummarySaveMatchesTheScorer() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const zelo::FileRead sample = zelo::ReadWholeFile(kSampleLog);
    QVERIFY(sample.ok);
    const zelo::ScoreResult expected = zelo::ScoreLog(sample.bytes);
    QVERIFY(expected.total_qsos > 0);

    // Start.
    QTest::mouseClick(Button("cmdCommand1"), Qt::LeftButton);
    QCOMPARE(Button("cmdCommand1")->text(),
             QStringLiteral("STEP# 1: From FILE pulldown OPEN your cabrillo log file"));
    ExpectShown({false, false, false, false, true, false});

    // A cancelled Open changes nothing; then the sample log.
    answers_ = {std::nullopt, kSampleLog};
    Action("mnuFileOpen")->trigger();
    QCOMPARE(window_->form().WorkflowStep(), 1);
    ExpectShown({false, false, false, false, true, false});
    Action("mnuFileOpen")->trigger();
    QCOMPARE(dialogs_.size(), std::size_t{2});
    QCOMPARE(dialogs_[1].kind, DialogKind::kOpen);
    QCOMPARE(dialogs_[1].title, std::string("Open"));
    QCOMPARE(dialogs_[1].description, std::string("All Files (*.*)"));
    QCOMPARE(Button("cmdCommand1")->text().left(30), QStringLiteral("You may now SAVE your listing."));
    ExpectShown({true, false, true, false, false, true});
    QCOMPARE(ListLines(), WriteReport(expected));

    // Every band button shows its band's view; Summary brings the report back.
    for (const BandButton& b : kBandButtons) {
      QTest::mouseClick(Option(b.name), Qt::LeftButton);
      QVERIFY2(Option(b.name)->isChecked(), b.name);
      QCOMPARE(ListLines(), zelo::BandViewLines(b.band, expected.Tally(b.band).calls));
      ExpectShown({true, false, true, true, false, true});
    }
    QTest::mouseClick(Option("Option20"), Qt::LeftButton);
    QTest::mouseClick(Option("optnSum"), Qt::LeftButton);
    QVERIFY(Option("optnSum")->isChecked());
    QVERIFY(!Option("Option20")->isChecked());
    QCOMPARE(ListLines(), WriteReport(expected));
    ExpectShown({true, false, true, true, false, true});

    // Save the summary, then compare with the command-line scorer's output.
    const QString saved = dir.filePath(QStringLiteral("report.NS"));
    answers_ = {saved.toStdString()};
    Action("mnuFileSave")->trigger();
    QCOMPARE(dialogs_.back().kind, DialogKind::kSave);
    QCOMPARE(dialogs_.back().description, std::string("NS File (*.NS)"));
    QCOMPARE(dialogs_.back().initial_name, std::string());
    QCOMPARE(Button("cmdCommand1")->text(), QStringLiteral("Please Exit via File Pulldown"));

    const QString scorer_out = dir.filePath(QStringLiteral("scorer.txt"));
    QProcess scorer;
    scorer.start(QStringLiteral(ZELO_SCORE_BIN),
                 {QString::fromStdString(kSampleLog), QStringLiteral("-o"), scorer_out});
    QVERIFY(scorer.waitForFinished(30000));
    QCOMPARE(scorer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(scorer.exitCode(), 0);
    const QByteArray saved_bytes = ReadBytes(saved);
    QVERIFY(!saved_bytes.isEmpty());
    QCOMPARE(saved_bytes, ReadBytes(scorer_out));

    // Exit in the saved state closes the window.
    Action("mnuFileExit")->trigger();
    QVERIFY(!window_->isVisible());
  }

  void RejectedLogKeepsStepOneAndFailedSaveSaysWhy() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString not_a_log = dir.filePath(QStringLiteral("notes.txt"));
    {
      QFile file(not_a_log);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("QSO: 14025 CW 2024-01-01 0000 YO3ZELO 599 1 K1ABC 599 12 0 K\r\n");
    }
    QTest::mouseClick(Button("cmdCommand1"), Qt::LeftButton);
    auto* refusal = window_->findChild<QLabel*>(QStringLiteral("refusal"));
    QVERIFY(refusal != nullptr && !refusal->isVisible());

    // Each refusal shows its file and reason under the designed prompt, in
    // place of the last one.
    const struct {
      QString path;
      QString reason;
    } refused[] = {
        {not_a_log, QString::fromStdString(
                        zelo::CheckLogHeader(ReadBytes(not_a_log).toStdString()).reason)},
        {dir.path(), QStringLiteral("it is a folder")},
        {dir.filePath(QStringLiteral("gone.log")), QStringLiteral("No such file or directory")},
    };
    for (const auto& r : refused) {
      answers_ = {r.path.toStdString()};
      Action("mnuFileOpen")->trigger();
      QCOMPARE(Button("cmdCommand1")->text(), QStringLiteral("Please select a valid cabrillo log file"));
      ExpectShown({false, false, false, false, true, false});
      QVERIFY(refusal->isVisible());
      QCOMPARE(refusal->text(), r.path + QStringLiteral(": ") + r.reason);
      QVERIFY(refusal->geometry().top() >= Button("cmdCommand1")->geometry().bottom());
    }

    answers_ = {kSampleLog};
    Action("mnuFileOpen")->trigger();
    ExpectShown({true, false, true, false, false, true});
    QVERIFY(!refusal->isVisible());
    const std::vector<std::string> report = ListLines();

    // A long path gives way in its middle; the start and the reason stay.
    const QString unwritable =
        dir.filePath(QString(120, 'd') + QStringLiteral("/no/such/folder/out.NS"));
    answers_ = {unwritable.toStdString()};
    Action("mnuFileSave")->trigger();
    const QString prompt = Button("cmdCommand1")->text();
    QVERIFY2(prompt.startsWith(QStringLiteral("Listing NOT saved: ")), qPrintable(prompt));
    QVERIFY2(prompt.endsWith(QStringLiteral("out.NS: No such file or directory")), qPrintable(prompt));
    QVERIFY2(prompt.contains(QChar(0x2026)), qPrintable(prompt));
    QVERIFY(!QFile::exists(unwritable));
    QCOMPARE(ListLines(), report);
    ExpectShown({true, false, true, false, false, true});
  }

  // Every listing opens at its top left, however far the last was scrolled.
  void EveryListingStartsAtTheTopLeft() {
    QTest::mouseClick(Button("cmdCommand1"), Qt::LeftButton);
    answers_ = {kSampleLog};
    Action("mnuFileOpen")->trigger();
    auto* list = window_->findChild<QListView*>(QStringLiteral("lstList1"));
    for (const char* next : {"Option160", "optnSum", "Option20", "Option10", "optnSum"}) {
      list->doItemsLayout();  // as the event loop would, now
      list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
      list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
      QTest::mouseClick(Option(next), Qt::LeftButton);
      list->doItemsLayout();
      QVERIFY2(list->horizontalScrollBar()->value() == 0, next);
      QVERIFY2(list->verticalScrollBar()->value() == 0, next);
    }
    // The report both scrolls down and sideways, so the case above is real.
    QVERIFY(list->verticalScrollBar()->maximum() > 0);
    QVERIFY(list->horizontalScrollBar()->maximum() > 0);
  }

  // Return and keypad Enter on the focused prompt and band buttons act as Space.
  void ReturnAndEnterPressTheFocusedButton() {
    const struct {
      const char* button;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
    } presses[] = {
        {"cmdCommand1", Qt::Key_Return, Qt::NoModifier},
        {"Option20", Qt::Key_Enter, Qt::KeypadModifier},
        {"optnSum", Qt::Key_Return, Qt::NoModifier},
        {"Option40", Qt::Key_Return, Qt::NoModifier},
    };
    const zelo::FileRead sample = zelo::ReadWholeFile(kSampleLog);
    const zelo::ScoreResult expected = zelo::ScoreLog(sample.bytes);
    for (const auto& p : presses) {
      if (std::string_view(p.button) == "Option20") {
        answers_ = {kSampleLog};
        Action("mnuFileOpen")->trigger();
      }
      auto* button = window_->findChild<QAbstractButton*>(QString::fromLatin1(p.button));
      button->setFocus();
      QTest::keyClick(button, p.key, p.modifiers);
      if (button == Button("cmdCommand1")) {
        QCOMPARE(window_->form().WorkflowStep(), 1);
      } else {
        QVERIFY2(Option(p.button)->isChecked(), p.button);
      }
    }
    QCOMPARE(ListLines(), zelo::BandViewLines(Band::k40, expected.Tally(Band::k40).calls));
  }

  // A file dropped on the window at step 0 or 1 opens as through File/Open;
  // on a listing the window takes no drop.
  void DroppedLogOpensBeforeAListingOnly() {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.log"));
    {
      QFile file(bad);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("CONTEST: ZELO\r\n");
    }
    const std::string sample = zelo::ReadWholeFile(kSampleLog).bytes;  // the result views into it
    const zelo::ScoreResult expected = zelo::ScoreLog(sample);
    const struct {
      QString file;
      bool taken;
      int step;  // afterwards
    } drops[] = {
        {bad, true, 1},
        {QString::fromStdString(kSampleLog), true, 3},
        {bad, false, 3},
    };
    for (const auto& d : drops) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(d.file)});
      const QPoint at = window_->rect().center();
      QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(window_.get(), &enter);
      QCOMPARE(enter.isAccepted(), d.taken);
      QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(window_.get(), &drop);
      QCOMPARE(drop.isAccepted(), d.taken);
      // The drop is opened once the drop is over.
      QTRY_COMPARE(window_->form().WorkflowStep(), d.step);
    }
    QCOMPARE(ListLines(), zelo::WriteReport(expected));
    QVERIFY(dialogs_.empty());
  }

  // While a long log is scored, the progress bar is painted as it moves.
  void LongRunRepaintsTheProgressBar() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.log"));
    {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("START-OF-LOG: 3.0\r\n");
      for (int i = 0; i < 2000; ++i) {
        file.write(QStringLiteral("QSO: 14025 CW 2026-02-14 0000 YO3ZELO 599 0001 BU K%1 599 0098 M%1\r\n")
                       .arg(i)
                       .toLatin1());
      }
    }
    PaintCounter painted;
    auto* bar = window_->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    bar->installEventFilter(&painted);
    QTest::mouseClick(Button("cmdCommand1"), Qt::LeftButton);
    answers_ = {path.toStdString()};
    Action("mnuFileOpen")->trigger();
    QCOMPARE(window_->form().WorkflowStep(), 3);
    // Painted during the run at every value the bar took, 1 to 100.
    const std::set<int> values(painted.values.begin(), painted.values.end());
    for (int value = 1; value <= 100; ++value) QVERIFY2(values.count(value) == 1, qPrintable(QString::number(value)));
  }

 private:
  // Counts the paints of a progress bar, with its value at each.
  class PaintCounter : public QObject {
   public:
    std::vector<int> values;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Paint) values.push_back(qobject_cast<QProgressBar*>(watched)->value());
      return false;
    }
  };

  struct DialogCall {
    DialogKind kind;
    std::string title, description, pattern, initial_name;
  };

  QPushButton* Button(const char* name) {
    return window_->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  QRadioButton* Option(const char* name) {
    return window_->findChild<QRadioButton*>(QString::fromLatin1(name));
  }
  QAction* Action(const char* name) {
    return window_->findChild<QAction*>(QString::fromLatin1(name));
  }
  std::vector<std::string> ListLines() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < window_->ListLineCount(); ++i) lines.push_back(window_->ListLine(i));
    return lines;
  }
  void ExpectShown(const ShownState& want) {
    QCOMPARE(window_->findChild<QWidget*>(QStringLiteral("lstList1"))->isVisible(), want.list);
    QCOMPARE(window_->findChild<QWidget*>(QStringLiteral("ProgressBar1"))->isVisible(), want.progress);
    for (const BandButton& b : kBandButtons) QCOMPARE(Option(b.name)->isVisible(), want.bands);
    QCOMPARE(Option("optnSum")->isVisible(), want.sum);
    QVERIFY(!Option("optnAll")->isVisible());
    QCOMPARE(Action("mnuFileOpen")->isEnabled(), want.open_enabled);
    QCOMPARE(Action("mnuFileSave")->isEnabled(), want.save_enabled);
  }

  std::unique_ptr<QtWindow> window_;
  std::vector<DialogCall> dialogs_;
  std::vector<std::optional<std::string>> answers_;
};

QTEST_MAIN(WindowWorkflowTest)
#include "window_workflow_test.moc"
