// The window operations on the real widgets: captions, the list box's bytes
// and width, the progress bar, Help, About and Exit.
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontMetricsF>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "app/qt_window.h"
#include "zelo/version.h"

using zelo::Control;
using zelo::QtWindow;

namespace {

// Line i of a large batch: ASCII, valid UTF-8 and invalid bytes in turn.
std::string BatchLine(int i) {
  static const std::string kStarts[] = {
      "YO3ABC ",
      "Z\xC3\xBCrich \xE2\x82\xAC",       // valid UTF-8
      std::string("\xFF\xFE raw \x80", 8),  // not UTF-8
      std::string("nul\0byte\r", 9),
  };
  std::string line = kStarts[i % 4];
  line.append(std::to_string(i));
  return line;
}

}  // namespace

class WindowOpsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<QtWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  // A prompt keeps the design font when it fits the start button, else takes
  // the largest size down to 7.2 pt at which it fits; what fits nowhere can
  // still be read whole in the tool tip.
  void LongPromptsShrinkToFitTheStartButton() {
    const std::string long_path = "/home/operator/contest logs/2024/ZELO Razezuz/" + std::string(60, 'x');
    const std::string captions[] = {
        "Working....",
        std::string(zelo::kSavePrompt),
        std::string(zelo::kSaveFailedPrefix) + long_path + ": No space left on device",
        std::string(zelo::kSaveFailedPrefix) + long_path + long_path + long_path + ": Permission denied",
        std::string(zelo::kStep1Prompt),
        "Listing NOT saved: /tmp/\xC3\xA9t\xC3\xA9.NS: Permission denied",  // UTF-8
    };
    auto* button = window_->findChild<QPushButton*>(QStringLiteral("cmdCommand1"));
    const qreal room = zelo::CaptionRoom(button);
    QVERIFY(room > 600);
    const auto width_at = [&](const QString& text, qreal points) {
      QFont font = button->font();
      font.setPointSizeF(points);
      return QFontMetricsF(font).horizontalAdvance(text);
    };
    for (const std::string& caption : captions) {
      window_->SetCaption(Control::cmdCommand1, caption);
      const QString text = QString::fromUtf8(caption.c_str());
      const qreal size = button->font().pointSizeF();
      QCOMPARE(button->text(), text);
      QCOMPARE(button->font().family(), QStringLiteral("Comic Sans MS"));
      QVERIFY(button->font().bold());
      if (width_at(text, 9.6) <= room) {
        QCOMPARE(size, 9.6);
        QVERIFY(button->toolTip().isEmpty());
      } else if (width_at(text, 7.2) <= room) {
        QVERIFY2(width_at(text, size) <= room, qPrintable(text));
        QVERIFY2(width_at(text, size + 0.2) > room, qPrintable(text));
        QVERIFY(button->toolTip().isEmpty());
      } else {
        QCOMPARE(size, 7.2);
        QCOMPARE(button->toolTip(), text);
      }
    }
    // The long texts above do shrink (or overflow), whatever font stands in.
    QVERIFY(width_at(QString::fromStdString(captions[3]), 9.6) > room);
  }

  // Valid UTF-8 reads as UTF-8 and every other byte as its Latin-1
  // character, in the list and on the prompt; the list keeps the bytes.
  void BytesThatAreNotUtf8ShowAsLatin1() {
    const struct {
      const char* name;
      std::string bytes;
      QString shown;
    } cases[] = {
        {"latin-1 call", "F5\xE9\xE8T", QString::fromUtf8("F5éèT")},
        {"utf-8 call", "F5\xC3\xA9\xC3\xA8T", QString::fromUtf8("F5éèT")},
        {"both in one line", "\xC3\xA9 \xE9", QString::fromUtf8("é é")},
        {"four-byte character", "\xF0\x9F\x93\xBB!", QString::fromUtf8("\U0001F4FB!")},
        {"cut-short sequence", "\xE2\x82", QString::fromUtf8("\u00E2\u0082")},
        {"overlong slash", "\xC0\xAF", QString::fromUtf8("À¯")},
        {"surrogate", "\xED\xA0\x80", QString::fromUtf8("\u00ED\u00A0\u0080")},
        {"past U+10FFFF", "\xF4\x90\x80\x80", QString::fromUtf8("\u00F4\u0090\u0080\u0080")},
    };
    auto* list = window_->findChild<QListView*>(QStringLiteral("lstList1"));
    auto* prompt = window_->findChild<QPushButton*>(QStringLiteral("cmdCommand1"));
    for (const auto& c : cases) {
      window_->ClearList();
      window_->AppendListLines(std::vector<std::string>{c.bytes});
      QCOMPARE(list->model()->index(0, 0).data().toString(), c.shown);
      QCOMPARE(window_->ListLine(0), c.bytes);
      window_->SetCaption(Control::cmdCommand1, c.bytes);
      QVERIFY2(prompt->text() == c.shown, c.name);
    }
  }

  // A failed save whose path does not fit keeps "Listing NOT saved: " and
  // the reason whole and gives up the middle of the path; the tool tip
  // holds all of it.
  void FailedSavePromptShortensThePathInItsMiddle() {
    const QString before = QString::fromUtf8(zelo::kSaveFailedPrefix.data());
    const QString reason = QStringLiteral(": No space left on device");
    const QString paths[] = {
        QStringLiteral("/tmp/x.txt"),
        QStringLiteral("/home/operator/contest logs/2024/ZELO Razezuz/") + QString(150, 'x') +
            QStringLiteral("/report.NS"),
        QStringLiteral("/") + QString(400, 'y') + QStringLiteral("/z.NS"),
    };
    auto* button = window_->findChild<QPushButton*>(QStringLiteral("cmdCommand1"));
    const qreal room = zelo::CaptionRoom(button);
    for (const QString& path : paths) {
      window_->SetCaptionWithPath(Control::cmdCommand1, before.toStdString(), path.toStdString(),
                                  reason.toStdString());
      const QString text = button->text();
      QVERIFY2(text.startsWith(before) && text.endsWith(reason), qPrintable(text));
      QVERIFY2(QFontMetricsF(button->font()).horizontalAdvance(text) <= room, qPrintable(text));
      if (text == before + path + reason) {
        QVERIFY(button->toolTip().isEmpty());
        continue;
      }
      // Shortened: the path's two ends around an ellipsis, at 7.2 pt.
      QCOMPARE(button->font().pointSizeF(), 7.2);
      QCOMPARE(button->toolTip(), before + path + reason);
      const QString shown = text.mid(before.size(), text.size() - before.size() - reason.size());
      const qsizetype dots = shown.indexOf(QChar(0x2026));
      QVERIFY2(dots > 0 && dots < shown.size() - 1, qPrintable(shown));
      QVERIFY(path.startsWith(shown.left(dots)));
      QVERIFY(path.endsWith(shown.mid(dots + 1)));
    }
    QVERIFY(!button->toolTip().isEmpty());  // the longest did not fit whole
  }

  // The list scrolls sideways exactly far enough to show its widest line.
  void ListScrollsToShowTheWidestLine() {
    const struct Step {
      bool clear_first;
      std::vector<std::string> lines;
      int widest;  // characters of the widest line shown
    } steps[] = {
        {false, {"short", "lines"}, 5},
        {false, {std::string(300, '_')}, 300},   // a wider line appended later
        {false, {"narrow again"}, 300},
        {true, {"after", "a clear"}, 7},
        {true, {std::string(150, '_'), "x"}, 150},
    };
    auto* list = window_->findChild<QListView*>(QStringLiteral("lstList1"));
    window_->SetVisible(Control::lstList1, true);
    const qreal char_width = QFontMetricsF(list->font()).horizontalAdvance(QLatin1Char('_'));
    for (const Step& step : steps) {
      if (step.clear_first) window_->ClearList();
      window_->AppendListLines(step.lines);
      list->doItemsLayout();  // as the event loop would, now
      const int extent = list->horizontalScrollBar()->maximum() + list->viewport()->width();
      const qreal widest = step.widest * char_width;
      if (widest < list->viewport()->width()) {
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
      } else {
        QVERIFY2(extent >= widest, qPrintable(QString::number(extent)));
        QVERIFY2(extent <= widest + 4 * char_width, qPrintable(QString::number(extent)));
      }
    }
  }

  void ProgressReadsBackWithinItsRange() {
    auto* bar = window_->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    QSignalSpy changes(bar, &QProgressBar::valueChanged);
    const struct {
      int set;
      int read;
    } steps[] = {{0, 0}, {1, 1}, {50, 50}, {50, 50}, {100, 100}, {150, 100}, {-5, 0}, {99, 99}};
    for (const auto& step : steps) {
      window_->SetProgress(step.set);
      QCOMPARE(window_->Progress(), step.read);
      QCOMPARE(bar->value(), step.read);
    }
    // Only real changes reach the bar: 1, 50, 100, 0, 99.
    QCOMPARE(changes.count(), 5);
  }

  void ListKeepsBytesOfManyLinesAndAppendsInOneBatch() {
    constexpr int kLines = 200000;
    std::vector<std::string> lines;
    lines.reserve(kLines);
    for (int i = 0; i < kLines; ++i) lines.push_back(BatchLine(i));

    auto* list = window_->findChild<QListView*>(QStringLiteral("lstList1"));
    QSignalSpy inserted(list->model(), &QAbstractItemModel::rowsInserted);
    window_->SetVisible(Control::lstList1, true);
    window_->AppendListLines({lines.data(), 1});
    window_->AppendListLines({lines.data() + 1, lines.size() - 1});
    list->scrollToBottom();
    QApplication::processEvents();

    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 1);
    QCOMPARE(inserted.at(1).at(2).toInt(), kLines - 1);
    QCOMPARE(window_->ListLineCount(), std::size_t{kLines});
    QCOMPARE(list->model()->rowCount(), kLines);
    for (int i = 0; i < kLines; ++i) {
      if (window_->ListLine(static_cast<std::size_t>(i)) != lines[static_cast<std::size_t>(i)]) {
        QFAIL(qPrintable(QStringLiteral("line %1 changed").arg(i)));
      }
    }
    QCOMPARE(window_->ListLine(kLines), std::string());
    // Shown decoded: valid UTF-8 as its characters, other bytes as Latin-1.
    QCOMPARE(list->model()->index(1, 0).data().toString(), QString::fromUtf8("Zürich €1"));
    QCOMPARE(list->model()->index(2, 0).data().toString(), QString::fromUtf8("ÿþ raw \u00802"));
    // Rows of one height: the list measures one row, not all of them.
    QVERIFY(list->uniformItemSizes());

    window_->ClearList();
    QCOMPARE(window_->ListLineCount(), std::size_t{0});
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(window_->ListLine(0), std::string());
  }

  // The help window shows the file, or says plainly that it is missing and
  // where it was looked for; a second Help replaces what the first showed.
  void HelpShowsTheFileOrSaysItIsMissing() {
    const std::string missing = "/nonexistent/folder/zelo_find.hlp";
    const struct {
      std::string file;
      QString shows, hides;
    } cases[] = {
        {ZELO_HELP_SOURCE, "FINAL SCORE", "not found"},
        {missing, "The help file was not found", "FINAL SCORE"},
        {ZELO_HELP_SOURCE, "zelo-score --band", "not found"},
    };
    for (const auto& c : cases) {
      window_->ShowHelp(c.file);
      auto* browser = window_->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
      QVERIFY(browser != nullptr);
      QVERIFY(browser->window()->isVisible());
      const QString text = browser->toPlainText();
      QVERIFY2(text.contains(c.shows), qPrintable(text.left(300)));
      QVERIFY2(!text.contains(c.hides), qPrintable(text.left(300)));
      if (c.file == missing) QVERIFY(text.contains(QString::fromStdString(missing)));
    }
  }

  void HelpMenuLooksBesideTheProgram() {
    window_->form().cmdCommand1_Click();  // sets another help file name first
    window_->findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
    const QString expected = QCoreApplication::applicationDirPath() + "/zelo_find.hlp";
    QCOMPARE(QString::fromStdString(window_->HelpFileName()), expected);
    auto* browser = window_->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    QVERIFY(browser != nullptr);
    // The tests' folder holds no help file.
    QVERIFY(browser->toPlainText().contains(expected));
    QCOMPARE(window_->form().WorkflowStep(), 1);
  }

  void AboutNamesProgramVersionAndQtAndChangesNothing() {
    QString shown_title;
    QString shown_text;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      shown_title = box->windowTitle();
      shown_text = box->text();
      box->accept();
    });
    window_->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    QCOMPARE(shown_title, QStringLiteral("About ZELO Score"));
    QVERIFY2(shown_text.contains(QString::fromUtf8(zelo::kVersion.data(), static_cast<qsizetype>(zelo::kVersion.size()))), qPrintable(shown_text));
    QVERIFY(shown_text.contains(QString::fromLatin1(qVersion())));
    QCOMPARE(window_->form().WorkflowStep(), 0);
    QCOMPARE(window_->findChild<QAbstractButton*>(QStringLiteral("cmdCommand1"))->text(),
             QStringLiteral("Select HERE to Start"));
  }

  // Exit closes the window also while another window of it is open; the
  // scored states are covered by the workflow tests.
  void ExitClosesTheWindow() {
    window_->ShowHelp("/nonexistent/zelo_find.hlp");
    window_->form().cmdCommand1_Click();
    window_->findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
    QVERIFY(!window_->isVisible());
  }

 private:
  std::unique_ptr<QtWindow> window_;
};

QTEST_MAIN(WindowOpsTest)
#include "window_ops_test.moc"
