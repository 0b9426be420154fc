// QtWindow: the real window of zelo-calc. It builds the controls and the menu
// in their design state, turns each WindowOps call into one or two widget
// calls, and forwards the clicks on the start button, the option buttons and
// the menu to its Form1, which holds every rule of the workflow. Beside the
// designed menu entries, Check shows the log check's findings in a window of
// their own (CheckWindow).
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractListModel>
#include <QFont>
#include <QMainWindow>

#include "app/form1.h"
#include "app/window_ops.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QDialog;
class QFileDialog;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextBrowser;

namespace zelo {

class CheckWindow;

// The window's design unit: twips, 15 to a logical pixel (at 96 dpi),
// rounded to the nearest pixel.
int TwipsToPixels(int twips);

// The font of lstList1: "NewZurica" 9.6 pt when the system has it, else the
// system's fixed-pitch font at 9.6 pt so that the report's columns line up.
QFont ListFont();

// The width a button gives its caption without cutting it: a push button's
// inside, or from a radio button's indicator to its edge.
int CaptionRoom(const QAbstractButton* button);

// Sets a button's caption at the design size, 9.6 pt, or the largest smaller
// size down to 7.2 pt at which it fits; what fits at no size can be read
// whole in the tool tip.
void FitCaption(QAbstractButton* button, const QString& text);

// As FitCaption for `before` + `path` + `after`; what fits at no size gives
// way in the middle of the path, and the tool tip holds the whole.
void FitCaptionWithPath(QAbstractButton* button, const QString& before, const QString& path,
                        const QString& after);

// Bytes as the window shows them: valid UTF-8 decoded as UTF-8, and every
// other byte as its Latin-1 character (a log written in Latin-1 reads right).
QString DisplayText(std::string_view bytes);

// The lines of lstList1: bytes kept exactly as appended, shown through
// DisplayText.
class ListLinesModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  void Clear();
  // Appends the whole batch as one insertion.
  void Append(std::span<const std::string> lines);
  std::size_t Count() const { return lines_.size(); }
  // Empty past the end.
  std::string Line(std::size_t index) const;
  // The row with the most characters (0 when empty).
  int WidestRow() const { return static_cast<int>(widest_row_); }

 private:
  std::vector<std::string> lines_;
  std::size_t widest_row_ = 0;
  std::size_t widest_length_ = 0;
};

enum class DialogKind { kOpen, kSave };

// A file dialog set up for an Open or a Save (Qt's own widget dialog, not
// shown yet). Its one filter shows the settings' description and lists the
// files that match the settings' pattern.
std::unique_ptr<QFileDialog> MakeFileDialog(DialogKind kind, const DialogSettings& settings,
                                            QWidget* parent);

class QtWindow : public QMainWindow, public WindowOps {
  Q_OBJECT

 public:
  // Answers an Open or Save dialog in place of the user; nullopt: cancelled.
  using DialogHook =
      std::function<std::optional<std::string>(DialogKind kind, const DialogSettings& settings)>;

  explicit QtWindow(QWidget* parent = nullptr);
  ~QtWindow() override;

  Form1& form() { return form_; }
  // Replaces the real dialogs (an empty hook restores them).
  void SetDialogHook(DialogHook hook) { dialog_hook_ = std::move(hook); }

  void SetCaption(Control control, std::string_view text) override;
  void SetCaptionWithPath(Control control, std::string_view before, std::string_view path,
                          std::string_view after) override;
  void ShowRefusal(std::string_view before, std::string_view path, std::string_view after) override;
  void HideRefusal() override;
  void SetMenuEnabled(Menu menu, bool enabled) override;
  void SetVisible(Control control, bool visible) override;
  void ClearList() override;
  void AppendListLines(std::span<const std::string> lines) override;
  std::size_t ListLineCount() const override;
  std::string ListLine(std::size_t index) const override;
  void SetProgress(int value) override;
  int Progress() const override;
  void RepaintNow() override;
  std::optional<std::string> ShowOpenDialog(const DialogSettings& settings) override;
  std::optional<std::string> ShowSaveDialog(const DialogSettings& settings) override;
  void ShowFindings(const FindingsView& view) override;
  void ShowFindingsNotice(std::string_view text) override;
  void ShowHelp(const std::string& help_file) override;
  void ShowAbout(const AboutInfo& about) override;
  std::string ProgramFolder() const override;
  std::string HelpFileName() const override { return help_file_name_; }
  void SetHelpFileName(std::string_view name) override { help_file_name_ = name; }
  void Unload() override;

 protected:
  // Return and keypad Enter on a focused prompt or option button act as Space.
  bool eventFilter(QObject* watched, QEvent* event) override;
  // One local file dropped at step 0 or 1 is handed to Form1 to open.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // The list grows with the window, and the controls under it keep to the
  // bottom; at the design size everything is where it was designed.
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void CreateMenu();
  QRadioButton* AddOption(const char* name, const char* caption, int left_twips,
                          int width_twips, const QFont& font);
  QWidget* ControlWidget(Control control) const;
  std::optional<std::string> RunDialog(DialogKind kind, const DialogSettings& settings);

  QPushButton* cmdCommand1_ = nullptr;
  QProgressBar* ProgressBar1_ = nullptr;
  QLabel* refusal_ = nullptr;  // why a file was refused, under the prompt
  QListView* lstList1_ = nullptr;
  ListLinesModel* list_lines_ = nullptr;
  QButtonGroup* options_ = nullptr;
  std::array<QRadioButton*, 6> band_options_{};  // 160, 80, 40, 20, 15, 10
  QRadioButton* optnSum_ = nullptr;
  QRadioButton* optnAll_ = nullptr;
  QAction* mnuFileOpen_ = nullptr;
  QAction* mnuFileSave_ = nullptr;
  QAction* mnuFileExit_ = nullptr;
  QAction* mnuAbout_ = nullptr;
  QAction* mnuHelp_ = nullptr;
  QAction* mnuCheck_ = nullptr;
  QDialog* help_window_ = nullptr;
  QTextBrowser* help_browser_ = nullptr;
  CheckWindow* check_window_ = nullptr;

  std::string help_file_name_;
  DialogHook dialog_hook_;
  Form1 form_{*this};
};

}  // namespace zelo
