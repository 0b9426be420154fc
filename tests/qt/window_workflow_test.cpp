// One pass through the real window: start, open the sample log, look at a
// band, back to the summary, save; the saved file must match the
// command-line scorer's byte for byte.
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QFile>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
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
    answers_ = {not_a_log.toStdString()};
    Action("mnuFileOpen")->trigger();
    QCOMPARE(Button("cmdCommand1")->text(), QStringLiteral("Please select a valid cabrillo log file"));
    ExpectShown({false, false, false, false, true, false});

    answers_ = {kSampleLog};
    Action("mnuFileOpen")->trigger();
    ExpectShown({true, false, true, false, false, true});
    const std::vector<std::string> report = ListLines();

    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/out.NS"));
    answers_ = {unwritable.toStdString()};
    Action("mnuFileSave")->trigger();
    QVERIFY2(Button("cmdCommand1")->text().startsWith(QStringLiteral("Listing NOT saved: ")),
             qPrintable(Button("cmdCommand1")->text()));
    QVERIFY(!QFile::exists(unwritable));
    QCOMPARE(ListLines(), report);
    ExpectShown({true, false, true, false, false, true});
  }

 private:
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
