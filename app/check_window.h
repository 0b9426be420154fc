// CheckWindow: the findings of a log check, beside the main window. A table
// of line, severity (a colour and an icon, so that colour is never the only
// sign), code and message, sortable by each column and filtered by severity;
// the findings of a code after its first few are folded into one row that
// opens. Under the table, the selected finding's log line with two lines
// either side. Copy gives "FILE:LINE: severity: message" lines; "Save
// findings..." and "Check again" are Form1's to carry out.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QDialog>

#include "app/window_ops.h"

class QComboBox;
class QLabel;
class QModelIndex;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace zelo {

class CheckWindow : public QDialog {
  Q_OBJECT

 public:
  // `check_again` and `save` are the buttons' handlers.
  CheckWindow(QWidget* parent, std::function<void()> check_again, std::function<void()> save);

  // Shows a check's findings in place of the last.
  void Show(const FindingsView& view);
  // Replaces the notice line above the table.
  void ShowNotice(std::string_view text);

  // The "FILE:LINE: severity: message" lines of the selected rows (a folded
  // row stands for all its findings), or of every row shown when none is
  // selected; each line ends with LF.
  QString CopiedText() const;
  // Puts CopiedText on the clipboard.
  void CopyToClipboard() const;

  // Which severities the table shows: "" for all, else "error", "warning" or "note".
  void SetFilter(std::string_view severity);

 private:
  void AddFinding(QStandardItem* parent, std::size_t index);
  void ShowLinesAround(const QModelIndex& proxy_index);
  // The findings a row of the table stands for (itself, or a folded group's).
  std::vector<std::size_t> FindingsOf(const QModelIndex& proxy_index) const;

  std::function<void()> check_again_;
  std::function<void()> save_;
  std::string file_;
  std::string_view text_;  // the text checked, held by Form1 until the next Show
  CheckReport report_;

  QLabel* summary_ = nullptr;
  QLabel* notice_ = nullptr;
  QComboBox* filter_ = nullptr;
  QTreeView* table_ = nullptr;
  QStandardItemModel* model_ = nullptr;
  QSortFilterProxyModel* shown_ = nullptr;
  QPlainTextEdit* lines_ = nullptr;
};

}  // namespace zelo
