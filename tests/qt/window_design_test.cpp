// The window in its design state: geometry, captions, fonts, colours,
// visibility, menu and tab order, and the file dialogs' filters.
#include <string_view>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QtTest>

#include "app/qt_window.h"

using zelo::DialogKind;
using zelo::DialogSettings;
using zelo::QtWindow;

namespace {

struct ControlCase {
  const char* name;
  QRect geometry;  // logical pixels
  const char* caption;  // nullptr: no caption
  const char* font_family;  // nullptr: the window's font
  bool bold;
};

// Positions and sizes in twips divided by 15, rounded to the nearest pixel.
const ControlCase kControls[] = {
    {"cmdCommand1", {56, 32, 697, 33}, "Select HERE to Start", "Comic Sans MS", true},
    {"ProgressBar1", {128, 8, 465, 25}, nullptr, nullptr, false},
    {"Option160", {136, 552, 57, 33}, "160M", "Verdana", false},
    {"Option80", {200, 552, 57, 33}, "80M", "Verdana", false},
    {"Option40", {264, 552, 57, 33}, "40M", "Verdana", false},
    {"Option20", {328, 552, 57, 33}, "20M", "Verdana", false},
    {"Option15", {392, 552, 57, 33}, "15M", nullptr, false},
    {"Option10", {456, 552, 57, 33}, "10M", nullptr, false},
    {"optnAll", {520, 552, 57, 33}, "All QSOs", "Verdana", false},
    {"optnSum", {592, 552, 81, 33}, "Summary", "Verdana", false},
};

const char* const kOptionNames[] = {"Option160", "Option80", "Option40", "Option20",
                                    "Option15",  "Option10", "optnAll",  "optnSum"};

QColor RoleColour(const QWidget* widget, QPalette::ColorRole role) {
  return widget->palette().color(role);
}

// True when the characters of a report take one width each, so its columns
// line up.
bool ColumnsLineUp(const QFont& font) {
  const QFontMetricsF metrics(font);
  const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
  for (const char c : std::string_view("iW .*-=:/MQ1")) {
    if (metrics.horizontalAdvance(QLatin1Char(c)) != width) return false;
  }
  return width > 0;
}

}  // namespace

class WindowDesignTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<QtWindow>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  void TwipsConvertToNearestPixel() {
    const struct {
      int twips;
      int pixels;
    } cases[] = {{0, 0}, {7, 0}, {8, 1}, {15, 1}, {495, 33}, {5232, 349}, {11508, 767}, {8940, 596}};
    for (const auto& c : cases) QCOMPARE(zelo::TwipsToPixels(c.twips), c.pixels);
  }

  void TitleDesignClientAreaAndFont() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("ZELO Razezuz Score Calculator"));
    QCOMPARE(window_->centralWidget()->size(), QSize(767, 596));
    // It opens at the design size, which is also the smallest.
    QCOMPARE(window_->size(), window_->minimumSize());
    // The client area starts below the menu bar.
    QCOMPARE(window_->centralWidget()->y(), window_->menuBar()->geometry().bottom() + 1);
    QCOMPARE(window_->font().family(), QStringLiteral("Bitstream Vera Sans"));
    QCOMPARE(window_->font().pointSizeF(), 9.6);
    QVERIFY(!window_->font().bold());
  }

  void ControlsKeepDesignGeometryCaptionAndFont() {
    for (const ControlCase& c : kControls) {
      auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(c.name));
      QVERIFY2(widget != nullptr, c.name);
      QCOMPARE(widget->parentWidget(), window_->centralWidget());
      QCOMPARE(widget->geometry(), c.geometry);
      if (c.caption != nullptr) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        QVERIFY2(button != nullptr, c.name);
        QCOMPARE(button->text(), QString::fromLatin1(c.caption));
      }
      const QString family =
          c.font_family ? QString::fromLatin1(c.font_family) : window_->font().family();
      QCOMPARE(widget->font().family(), family);
      QCOMPARE(widget->font().bold(), c.bold);
      // The design size, unless a caption needs a smaller one to fit.
      auto* button = qobject_cast<QAbstractButton*>(widget);
      QFont design = widget->font();
      design.setPointSizeF(9.6);
      if (button == nullptr ||
          QFontMetricsF(design).horizontalAdvance(button->text()) <= zelo::CaptionRoom(button)) {
        QCOMPARE(widget->font().pointSizeF(), 9.6);
      } else {
        QVERIFY2(widget->font().pointSizeF() < 9.6, c.name);
      }
    }
  }

  // The captions fit their buttons in the fonts that stand in here.
  void CaptionsAreNotClipped() {
    const struct {
      const char* name;
      QStyle::SubElement contents;
    } buttons[] = {
        {"cmdCommand1", QStyle::SE_PushButtonContents}, {"Option160", QStyle::SE_RadioButtonContents},
        {"Option80", QStyle::SE_RadioButtonContents},   {"Option40", QStyle::SE_RadioButtonContents},
        {"Option20", QStyle::SE_RadioButtonContents},   {"Option15", QStyle::SE_RadioButtonContents},
        {"Option10", QStyle::SE_RadioButtonContents},   {"optnSum", QStyle::SE_RadioButtonContents},
    };  // optnAll is never shown
    for (const auto& b : buttons) {
      auto* button = window_->findChild<QAbstractButton*>(QString::fromLatin1(b.name));
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect room = button->style()->subElementRect(b.contents, &option, button);
      const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
      // A radio button's label starts at its contents and is cut at the
      // button's edge; a push button centres its caption in its contents.
      const int right = b.contents == QStyle::SE_PushButtonContents ? room.right() + 1
                                                                   : button->width();
      QVERIFY2(room.left() + text.width() <= right,
               qPrintable(QStringLiteral("%1: %2 + %3 > %4")
                              .arg(QLatin1String(b.name))
                              .arg(room.left())
                              .arg(text.width())
                              .arg(right)));
      QVERIFY2(text.height() <= room.height(), b.name);
    }
  }

  // Enlarged, the window gives the room to the list; the options keep to the
  // bottom and the prompt stays; back at the design size, all is as designed.
  void ListGrowsWithTheWindow() {
    auto* list = window_->findChild<QListView*>(QStringLiteral("lstList1"));
    auto* prompt = window_->findChild<QPushButton*>(QStringLiteral("cmdCommand1"));
    auto* option = window_->findChild<QRadioButton*>(QStringLiteral("Option20"));
    const QSize design = window_->size();
    const QRect list_design = list->geometry(), prompt_design = prompt->geometry(), option_design = option->geometry();
    window_->resize(design + QSize(300, 200));
    QTRY_COMPARE(window_->size(), design + QSize(300, 200));
    QCOMPARE(list->geometry(), list_design.adjusted(0, 0, 300, 200));
    QCOMPARE(option->geometry(), option_design.translated(0, 200));
    QCOMPARE(prompt->geometry(), prompt_design);
    window_->resize(design - QSize(100, 100));  // no smaller than designed
    QTRY_COMPARE(window_->size(), design);
    QCOMPARE(list->geometry(), list_design);
    QCOMPARE(option->geometry(), option_design);
  }

  void ListBoxDesign() {
    auto* list = window_->findChild<QListView*>(QStringLiteral("lstList1"));
    QVERIFY(list != nullptr);
    QCOMPARE(list->geometry(), QRect(104, 136, 513, 349));
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(list->uniformItemSizes());
    QCOMPARE(RoleColour(list, QPalette::Base), QColor(192, 192, 255));
    QCOMPARE(RoleColour(list, QPalette::Text), QColor(0, 0, 192));
    QCOMPARE(list->font().pointSizeF(), 9.6);
    // "NewZurica" when the system has it, else a font in which the report's
    // columns line up.
    const bool has_new_zurica =
        QFontInfo(QFont(QStringLiteral("NewZurica"))).family() == QStringLiteral("NewZurica");
    if (has_new_zurica) {
      QCOMPARE(list->font().family(), QStringLiteral("NewZurica"));
    } else {
      QVERIFY(ColumnsLineUp(list->font()));
      QVERIFY(!ColumnsLineUp(QFont(QStringLiteral("NewZurica"))));  // the check can tell
    }
  }

  void Colours() {
    auto* start = window_->findChild<QPushButton*>(QStringLiteral("cmdCommand1"));
    QCOMPARE(RoleColour(start, QPalette::Button), QColor(255, 224, 192));
    auto* option160 = window_->findChild<QRadioButton*>(QStringLiteral("Option160"));
    QCOMPARE(RoleColour(option160, option160->foregroundRole()), QColor(0, 0, 0));
  }

  void OnlyTheStartButtonShowsAtStart() {
    auto* start = window_->findChild<QPushButton*>(QStringLiteral("cmdCommand1"));
    QVERIFY(start->isVisible());
    for (const char* name : {"ProgressBar1", "lstList1"}) {
      QVERIFY2(!window_->findChild<QWidget*>(QString::fromLatin1(name))->isVisible(), name);
    }
    for (const char* name : kOptionNames) {
      QVERIFY2(!window_->findChild<QWidget*>(QString::fromLatin1(name))->isVisible(), name);
    }
    auto* bar = window_->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(window_->Progress(), 0);
  }

  void OptionButtonsFormOneExclusiveGroupNoneChecked() {
    QButtonGroup* group = nullptr;
    for (const char* name : kOptionNames) {
      auto* option = window_->findChild<QRadioButton*>(QString::fromLatin1(name));
      QVERIFY2(option != nullptr, name);
      QVERIFY2(!option->isChecked(), name);
      QVERIFY2(option->group() != nullptr, name);
      if (group == nullptr) group = option->group();
      QCOMPARE(option->group(), group);
    }
    QVERIFY(group->exclusive());
    QCOMPARE(group->buttons().size(), 8);
    QCOMPARE(group->checkedButton(), nullptr);
  }

  void MenuStructureAndStartState() {
    QMenuBar* bar = window_->menuBar();
    const QList<QAction*> top = bar->actions();
    QCOMPARE(top.size(), 4);
    QCOMPARE(top[0]->text(), QStringLiteral("&File"));
    QVERIFY(top[0]->menu() != nullptr);
    QCOMPARE(top[1]->text(), QStringLiteral("&About"));
    QCOMPARE(top[1]->menu(), nullptr);
    QCOMPARE(top[2]->text(), QStringLiteral("&Help"));
    QCOMPARE(top[2]->menu(), nullptr);
    // Added beside the designed entries: the log check, greyed until a log is open.
    QCOMPARE(top[3]->text(), QStringLiteral("&Check"));
    QCOMPARE(top[3]->objectName(), QStringLiteral("mnuCheck"));
    QVERIFY(!top[3]->isEnabled());

    const struct {
      const char* text;
      const char* name;
      bool enabled;
    } file_items[] = {
        {"&Open", "mnuFileOpen", false}, {"&Save", "mnuFileSave", false}, {"&Exit", "mnuFileExit", true}};
    const QList<QAction*> items = top[0]->menu()->actions();
    QCOMPARE(items.size(), 3);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(items[i]->text(), QString::fromLatin1(file_items[i].text));
      QCOMPARE(items[i]->objectName(), QString::fromLatin1(file_items[i].name));
      QCOMPARE(items[i]->isEnabled(), file_items[i].enabled);
    }
    for (QAction* action : items + top) {
      QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->text()));
    }
    QVERIFY(top[0]->isEnabled() && top[1]->isEnabled() && top[2]->isEnabled());
  }

  void TabOrderFollowsDesign() {
    const QStringList expected = {"cmdCommand1", "lstList1", "Option160", "Option80", "Option40",
                                  "Option20",    "optnSum",  "optnAll",   "Option15", "Option10"};
    QWidget* first = window_->findChild<QWidget*>(expected.front());
    QStringList seen;
    QWidget* widget = first;
    do {
      if (expected.contains(widget->objectName()) && !seen.contains(widget->objectName())) {
        seen.append(widget->objectName());
      }
      widget = widget->nextInFocusChain();
    } while (widget != first);
    QCOMPARE(seen, expected);
    for (const QString& name : expected) {
      QVERIFY2(window_->findChild<QWidget*>(name)->focusPolicy() & Qt::TabFocus, qPrintable(name));
    }
  }

  // The filter shows its description and lists the files of its pattern; the
  // Open dialog lists names without a dot too.
  void FileDialogFiltersListTheRightFiles_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("open") << int(DialogKind::kOpen) << "Open" << "All Files (*.*)" << "*"
                          << QStringList{"LOGNODOT", "a.log", "b.NS", "c.txt"};
    QTest::newRow("save") << int(DialogKind::kSave) << "Save" << "NS File (*.NS)" << "*.NS"
                          << QStringList{"b.NS"};
  }
  void FileDialogFiltersListTheRightFiles() {
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, description);
    QFETCH(QString, pattern);
    QFETCH(QStringList, listed);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const char* name : {"LOGNODOT", "a.log", "b.NS", "c.txt"}) {
      QFile file(dir.filePath(QString::fromLatin1(name)));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const DialogSettings settings{title.toStdString(), description.toStdString(), pattern.toStdString(), "",
                                  QFile::encodeName(dir.path()).toStdString()};
    auto dialog = zelo::MakeFileDialog(static_cast<DialogKind>(kind), settings, window_.get());
    QCOMPARE(dialog->windowTitle(), title);
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog->nameFilters().size(), 1);
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types != nullptr);
    QCOMPARE(types->count(), 1);
    QCOMPARE(types->currentText(), description);
    auto* name_edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name_edit != nullptr);
    QVERIFY(name_edit->text().isEmpty());
    QVERIFY(dialog->defaultSuffix().isEmpty());
    QCOMPARE(dialog->acceptMode(), kind == int(DialogKind::kOpen) ? QFileDialog::AcceptOpen
                                                                  : QFileDialog::AcceptSave);

    // It opens in the settings' folder.
    QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    auto* model = dialog->findChild<QFileSystemModel*>();
    QVERIFY(model != nullptr);
    // The folder is read on a thread of its own, which says when it is done.
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    const auto listed_names = [&] {
      QStringList names;
      const QModelIndex root = model->index(dir.path());
      if (model->canFetchMore(root)) model->fetchMore(root);
      for (int row = 0; row < model->rowCount(root); ++row) {
        names.append(model->index(row, 0, root).data().toString());
      }
      names.sort();
      return names;
    };
    QTRY_COMPARE(listed_names(), listed);
    const auto folder_loaded = [&] {
      for (const QList<QVariant>& signal : loaded) {
        if (QDir(signal.at(0).toString()) == QDir(dir.path())) return true;
      }
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(folder_loaded(), 20000);
    QCOMPARE(listed_names(), listed);  // nothing else turned up later
  }

 private:
  std::unique_ptr<QtWindow> window_;
};

QTEST_MAIN(WindowDesignTest)
#include "window_design_test.moc"
