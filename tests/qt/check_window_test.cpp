// The Check window through the real window: the sample log's findings
// folded by code, sorted, filtered, the log lines around a finding, copy,
// save and check again after the file changed on disk.
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "app/check_window.h"
#include "app/qt_window.h"
#include "check/finding_groups.h"
#include "check/log_check.h"
#include "input/log_file.h"

using zelo::DialogKind;
using zelo::DialogSettings;
using zelo::QtWindow;

namespace {

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Text(const std::string& bytes) { return QString::fromStdString(bytes); }

}  // namespace

class CheckWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    log_ = dir_->filePath(QStringLiteral("sample.log"));
    QVERIFY(QFile::copy(QStringLiteral(ZELO_SAMPLES "/sample.log"), log_));
    QFile::setPermissions(log_, QFile::ReadOwner | QFile::WriteOwner);
    sample_ = zelo::ReadWholeFile(log_.toStdString()).bytes;
    expected_ = zelo::CheckLog(sample_);
    window_ = std::make_unique<QtWindow>();
    window_->SetDialogHook([this](DialogKind, const DialogSettings& settings) {
      save_settings_.push_back(settings);
      if (answers_.empty()) return std::optional<std::string>();
      std::optional<std::string> answer = answers_.front();
      answers_.erase(answers_.begin());
      return answer;
    });
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->form().OpenLogFromCommandLine(log_.toStdString());
    QCOMPARE(window_->form().WorkflowStep(), 3);
    list_before_ = ListLines();
    window_->findChild<QAction*>(QStringLiteral("mnuCheck"))->trigger();
    check_ = window_->findChild<zelo::CheckWindow*>(QStringLiteral("checkWindow"));
    QVERIFY(check_ != nullptr && check_->isVisible());
    table_ = check_->findChild<QTreeView*>(QStringLiteral("checkFindings"));
    QVERIFY(table_ != nullptr);
  }
  void cleanup() {
    window_.reset();
    answers_.clear();
    save_settings_.clear();
  }

  // The first five of each code, then one row that opens on the rest; the
  // main window's list and prompt as they were.
  void FoldsEachCodeAfterFiveAndLeavesTheListAlone() {
    QCOMPARE(Label("checkCounts"), Text(zelo::CheckSummaryText(expected_.summary)));
    const std::vector<zelo::FindingGroup> groups = zelo::GroupFindings(expected_);
    int rows = 0;
    for (const zelo::FindingGroup& group : groups) rows += static_cast<int>(std::min<std::size_t>(group.findings.size(), 5)) + (group.findings.size() > 5 ? 1 : 0);
    QAbstractItemModel* model = table_->model();
    QCOMPARE(model->rowCount(), rows);
    const QModelIndex folded = RowWithCode("low-report-counted", /*folded=*/true);
    QVERIFY(folded.isValid());
    QCOMPARE(model->rowCount(folded), 20);
    QVERIFY(model->index(folded.row(), 3).data().toString().startsWith(QStringLiteral("20 more like line 37")));
    QVERIFY(!table_->isExpanded(folded));
    table_->expand(folded);
    QVERIFY(table_->isExpanded(folded));
    QCOMPARE(ListLines(), list_before_);
  }

  void SortsByEachColumn() {
    QAbstractItemModel* model = table_->model();
    const auto column = [&](int c) {
      std::vector<QString> values;
      for (int row = 0; row < model->rowCount(); ++row) values.push_back(model->index(row, c).data().toString());
      return values;
    };
    table_->sortByColumn(0, Qt::DescendingOrder);
    std::vector<int> lines;
    for (const QString& line : column(0)) lines.push_back(line.toInt());
    QVERIFY(std::is_sorted(lines.rbegin(), lines.rend()));
    QCOMPARE(lines.front(), 253);  // numbers, not text: "9" would come first
    table_->sortByColumn(1, Qt::AscendingOrder);
    const std::vector<QString> severities = column(1);
    QCOMPARE(severities.front(), QStringLiteral("error"));  // by weight, not by name
    QCOMPARE(severities.back(), QStringLiteral("note"));
    table_->sortByColumn(2, Qt::AscendingOrder);
    const std::vector<QString> codes = column(2);
    QVERIFY(std::is_sorted(codes.begin(), codes.end()));
  }

  void FiltersBySeverityAndShowsItByIconAndColour() {
    auto* filter = check_->findChild<QComboBox*>(QStringLiteral("checkFilter"));
    QCOMPARE(filter->count(), 4);
    QCOMPARE(filter->itemText(1), QStringLiteral("Errors (3)"));
    const struct {
      int index;
      QString severity;  // empty: all
      int rows;
    } cases[] = {{1, QStringLiteral("error"), 3}, {2, QStringLiteral("warning"), 2}, {3, QStringLiteral("note"), 8},
                 {0, QString(), 13}};
    QAbstractItemModel* model = table_->model();
    for (const auto& c : cases) {
      filter->setCurrentIndex(c.index);
      QCOMPARE(model->rowCount(), c.rows);
      for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex severity = model->index(row, 1);
        if (!c.severity.isEmpty()) QCOMPARE(severity.data().toString(), c.severity);
        QVERIFY(!severity.data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(severity.data(Qt::ForegroundRole).isValid());
      }
    }
  }

  // The finding's line and two either side, the line marked; at the top of
  // the file there is nothing before it.
  void ShowsTheFindingsLineWithTwoEitherSide() {
    auto* pane = check_->findChild<QPlainTextEdit*>(QStringLiteral("checkLogLines"));
    const QStringList log_lines = Text(sample_).split(QStringLiteral("\r\n"));
    const struct {
      int line;
      int first, last;
    } cases[] = {{66, 64, 68}, {9, 7, 11}};
    for (const auto& c : cases) {
      table_->setCurrentIndex(RowWithLine(c.line));
      QStringList shown = pane->toPlainText().split(QLatin1Char('\n'));
      // The finding's whole message, a blank line, then the log's lines.
      QVERIFY2(shown.front().startsWith(QStringLiteral("Line %1, ").arg(c.line)), qPrintable(shown.front()));
      QVERIFY(shown.front().endsWith(RowWithLine(c.line).siblingAtColumn(3).data().toString()));
      shown = shown.mid(2);
      QCOMPARE(shown.size(), c.last - c.first + 1);
      for (int line = c.first; line <= c.last; ++line) {
        const QString& row = shown[line - c.first];
        QVERIFY2(row.endsWith(log_lines[line - 1]), qPrintable(row));
        QCOMPARE(row.startsWith(QStringLiteral("\u25B6")), line == c.line);
      }
    }
  }

  void CopiesTheSelectedRowsOrAllShown() {
    const std::string file = log_.toStdString();
    const auto line_of = [&](int finding) { return Text(zelo::FindingLine(file, expected_.findings[finding]) + "\n"); };
    // Nothing selected, errors shown: the three errors.
    check_->SetFilter("error");
    table_->clearSelection();
    QString want;
    for (std::size_t i = 0; i < expected_.findings.size(); ++i) {
      if (expected_.findings[i].severity == zelo::Severity::kError) want += line_of(static_cast<int>(i));
    }
    QCOMPARE(check_->CopiedText(), want);
    // Ctrl+C on the table puts the same on the clipboard.
    table_->setFocus();
    QTest::keyClick(table_, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), want);
    // A folded row stands for all its findings.
    check_->SetFilter("");
    const QModelIndex folded = RowWithCode("low-report-counted", true);
    table_->selectionModel()->select(folded, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(check_->CopiedText().count(QLatin1Char('\n')), 20);
    QVERIFY(check_->CopiedText().startsWith(Text(file + ":87: note: ")));
  }

  // Saved as every finding's line and the summary; a log is never replaced,
  // and the dialog comes again.
  void SavesEveryFindingNeverOverALog() {
    const QString out = dir_->filePath(QStringLiteral("findings.txt"));
    answers_ = {log_.toStdString(), out.toStdString()};
    Button("checkSave")->click();
    QCOMPARE(save_settings_.size(), std::size_t{2});
    QCOMPARE(save_settings_.front().initial_name, std::string("sample-check.txt"));
    QCOMPARE(QDir(Text(save_settings_.front().folder)), QDir(dir_->path()));
    QCOMPARE(ReadBytes(out), QByteArray::fromStdString(zelo::FindingsText(log_.toStdString(), expected_)));
    QCOMPARE(ReadBytes(log_), QByteArray::fromStdString(sample_));
    QCOMPARE(Label("checkNotice"), QStringLiteral("Findings saved to ") + out);
  }

  void CheckAgainTellsWhetherTheFileChanged() {
    Button("checkAgain")->click();
    QCOMPARE(Label("checkNotice"), Text(std::string(zelo::kCheckedAgainUnchanged)));
    // The entrant mends line 66 (the phone report 9 becomes 59) and checks again.
    QString mended = Text(sample_);
    const QStringList lines = mended.split(QStringLiteral("\r\n"));
    QString line66 = lines[65];
    QVERIFY(line66.contains(QStringLiteral(" 9   ")));
    mended.replace(lines[65], line66.replace(QStringLiteral(" 9   "), QStringLiteral(" 59  ")));
    {
      QFile file(log_);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(mended.toUtf8());
    }
    Button("checkAgain")->click();
    QCOMPARE(Label("checkNotice"), Text(std::string(zelo::kCheckedAgainChanged)));
    QVERIFY2(Label("checkCounts").startsWith(QStringLiteral("2 errors, ")), qPrintable(Label("checkCounts")));
    QVERIFY(!RowWithLine(66).isValid());
    // The main window still shows the log as it was opened.
    QCOMPARE(ListLines(), list_before_);
    QCOMPARE(Text(window_->form().LogText()), Text(sample_));
  }

 private:
  QString Label(const char* name) const { return check_->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
  QPushButton* Button(const char* name) const { return check_->findChild<QPushButton*>(QString::fromLatin1(name)); }
  std::vector<std::string> ListLines() const {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < window_->ListLineCount(); ++i) lines.push_back(window_->ListLine(i));
    return lines;
  }
  QModelIndex RowWithLine(int line) const {
    QAbstractItemModel* model = table_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      if (model->index(row, 0).data().toString() == QString::number(line)) return model->index(row, 0);
    }
    return {};
  }
  QModelIndex RowWithCode(const char* code, bool folded) const {
    QAbstractItemModel* model = table_->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      const QModelIndex index = model->index(row, 0);
      if (model->index(row, 2).data().toString() == QLatin1String(code) && model->hasChildren(index) == folded) {
        return index;
      }
    }
    return {};
  }

  std::unique_ptr<QTemporaryDir> dir_;
  QString log_;
  std::string sample_;
  zelo::CheckReport expected_;
  std::vector<std::string> list_before_;
  std::unique_ptr<QtWindow> window_;
  zelo::CheckWindow* check_ = nullptr;
  QTreeView* table_ = nullptr;
  std::vector<std::optional<std::string>> answers_;
  std::vector<DialogSettings> save_settings_;
};

QTEST_MAIN(CheckWindowTest)
#include "check_window_test.moc"
