#include "app/check_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QTextBlock>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "check/finding_groups.h"
#include "input/line_ends.h"
#include "views/display_text.h"

namespace zelo {
namespace {

enum Column { kLineColumn, kSeverityColumn, kCodeColumn, kMessageColumn, kColumnCount };

// The finding a row shows (kNoFinding for a folded group), how the row sorts
// in its column, and its severity's name for the filter.
constexpr int kFindingRole = Qt::UserRole + 1;
constexpr int kSortRole = Qt::UserRole + 2;
constexpr int kSeverityRole = Qt::UserRole + 3;
constexpr qlonglong kNoFinding = -1;

// Lines of the log shown either side of the finding's line.
constexpr int kLinesAround = 2;

QString Shown(std::string_view bytes) {
  const std::string text = DisplayUtf8(bytes);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor SeverityColour(Severity severity) {
  switch (severity) {
    case Severity::kError: return {170, 20, 20};
    case Severity::kWarning: return {150, 90, 0};
    case Severity::kNote: return {40, 80, 140};
  }
  return {};
}

QIcon SeverityIcon(const QStyle* style, Severity severity) {
  switch (severity) {
    case Severity::kError: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case Severity::kWarning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case Severity::kNote: return style->standardIcon(QStyle::SP_MessageBoxInformation);
  }
  return {};
}

// Errors first when sorted by severity.
int SeverityRank(Severity severity) { return static_cast<int>(severity); }

// One row: line, severity, code, message.
QList<QStandardItem*> Row(const QStyle* style, std::int64_t line, Severity severity, std::string_view code,
                          const QString& message, qlonglong finding) {
  const QString severity_name = Shown(SeverityName(severity));
  auto* line_item = new QStandardItem(line > 0 ? QString::number(line) : QStringLiteral("file"));
  line_item->setData(static_cast<qlonglong>(line), kSortRole);
  line_item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* severity_item = new QStandardItem(SeverityIcon(style, severity), severity_name);
  severity_item->setData(SeverityRank(severity), kSortRole);
  severity_item->setForeground(SeverityColour(severity));
  QFont bold = severity_item->font();
  bold.setBold(true);
  severity_item->setFont(bold);
  auto* code_item = new QStandardItem(Shown(code));
  code_item->setData(code_item->text(), kSortRole);
  auto* message_item = new QStandardItem(message);
  message_item->setData(message, kSortRole);
  message_item->setToolTip(message);
  QList<QStandardItem*> row{line_item, severity_item, code_item, message_item};
  for (QStandardItem* item : row) {
    item->setEditable(false);
    item->setData(finding, kFindingRole);
    item->setData(severity_name, kSeverityRole);
  }
  return row;
}

// A tree that copies the check's way on Ctrl+C, not one cell.
class FindingsTable : public QTreeView {
 public:
  FindingsTable(QWidget* parent, std::function<void()> copy) : QTreeView(parent), copy_(std::move(copy)) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Copy)) {
      copy_();
      event->accept();
      return;
    }
    QTreeView::keyPressEvent(event);
  }

 private:
  std::function<void()> copy_;
};

}  // namespace

CheckWindow::CheckWindow(QWidget* parent, std::function<void()> check_again, std::function<void()> save)
    : QDialog(parent), check_again_(std::move(check_again)), save_(std::move(save)) {
  setObjectName(QStringLiteral("checkWindow"));
  setWindowTitle(QStringLiteral("Log check"));
  resize(960, 620);

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("checkCounts"));
  summary_->setWordWrap(true);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("checkNotice"));
  notice_->setWordWrap(true);
  notice_->setTextFormat(Qt::PlainText);
  QPalette notice_palette = notice_->palette();
  notice_palette.setColor(QPalette::WindowText, QColor(120, 70, 0));
  notice_->setPalette(notice_palette);
  notice_->hide();

  filter_ = new QComboBox(this);
  filter_->setObjectName(QStringLiteral("checkFilter"));
  auto* filter_label = new QLabel(QStringLiteral("&Show:"), this);
  filter_label->setBuddy(filter_);

  model_ = new QStandardItemModel(0, kColumnCount, this);
  model_->setHorizontalHeaderLabels(
      {QStringLiteral("Line"), QStringLiteral("Severity"), QStringLiteral("Code"), QStringLiteral("Message")});
  shown_ = new QSortFilterProxyModel(this);
  shown_->setSourceModel(model_);
  shown_->setSortRole(kSortRole);
  shown_->setFilterRole(kSeverityRole);
  shown_->setFilterKeyColumn(kSeverityColumn);

  table_ = new FindingsTable(this, [this] { CopyToClipboard(); });
  table_->setObjectName(QStringLiteral("checkFindings"));
  table_->setModel(shown_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setUniformRowHeights(true);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->setSortingEnabled(true);
  table_->sortByColumn(kLineColumn, Qt::AscendingOrder);
  table_->header()->setStretchLastSection(true);
  table_->header()->setSectionsMovable(false);

  lines_ = new QPlainTextEdit(this);
  lines_->setObjectName(QStringLiteral("checkLogLines"));
  lines_->setReadOnly(true);
  lines_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  lines_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  lines_->setPlaceholderText(QStringLiteral("Select a finding to see its line of the log."));

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(table_);
  splitter->addWidget(lines_);
  splitter->setStretchFactor(0, 4);
  splitter->setStretchFactor(1, 1);
  splitter->setChildrenCollapsible(false);

  auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
  copy->setObjectName(QStringLiteral("checkCopy"));
  copy->setToolTip(QStringLiteral("Copies the selected findings, or all shown when none is selected"));
  auto* save_button = new QPushButton(QStringLiteral("&Save findings..."), this);
  save_button->setObjectName(QStringLiteral("checkSave"));
  auto* again = new QPushButton(QStringLiteral("Check &again"), this);
  again->setObjectName(QStringLiteral("checkAgain"));
  again->setToolTip(QStringLiteral("Reads the log's file again and checks it as it is now"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->addButton(copy, QDialogButtonBox::ActionRole);
  buttons->addButton(save_button, QDialogButtonBox::ActionRole);
  buttons->addButton(again, QDialogButtonBox::ActionRole);

  auto* filter_row = new QHBoxLayout;
  filter_row->addWidget(filter_label);
  filter_row->addWidget(filter_);
  filter_row->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(notice_);
  layout->addLayout(filter_row);
  layout->addWidget(splitter, 1);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  connect(copy, &QPushButton::clicked, this, [this] { CopyToClipboard(); });
  connect(save_button, &QPushButton::clicked, this, [this] { save_(); });
  connect(again, &QPushButton::clicked, this, [this] { check_again_(); });
  connect(filter_, &QComboBox::currentIndexChanged, this,
          [this] { SetFilter(filter_->currentData().toString().toStdString()); });
  connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { ShowLinesAround(current); });
}

void CheckWindow::AddFinding(QStandardItem* parent, std::size_t index) {
  const Finding& finding = report_.findings[index];
  parent->appendRow(Row(style(), finding.line, finding.severity, finding.code, Shown(finding.message),
                        static_cast<qlonglong>(index)));
}

void CheckWindow::Show(const FindingsView& view) {
  file_ = view.file;
  text_ = view.text;
  report_ = view.report;
  const QString name = Shown(file_).section(QLatin1Char('/'), -1);
  setWindowTitle(QStringLiteral("Log check \u2013 ") + name);
  summary_->setText(Shown(CheckSummaryText(report_.summary)));
  ShowNotice(view.notice);

  // The first few findings of each code as rows; the rest of a code folded
  // into one row that opens.
  table_->setSortingEnabled(false);
  model_->removeRows(0, model_->rowCount());
  QStandardItem* root = model_->invisibleRootItem();
  for (const FindingGroup& group : GroupFindings(report_)) {
    for (std::size_t k = 0; k < group.findings.size() && k < kShownPerCode; ++k) AddFinding(root, group.findings[k]);
    const std::string more = MoreLikeThis(report_, group);
    if (more.empty()) continue;
    const Finding& first_folded = report_.findings[group.findings[kShownPerCode]];
    QList<QStandardItem*> row =
        Row(style(), first_folded.line, group.severity, group.code, Shown(more), kNoFinding);
    for (std::size_t k = kShownPerCode; k < group.findings.size(); ++k) AddFinding(row.front(), group.findings[k]);
    root->appendRow(row);
  }
  table_->setSortingEnabled(true);
  for (int column : {kLineColumn, kSeverityColumn, kCodeColumn}) table_->resizeColumnToContents(column);

  const CheckSummary& s = report_.summary;
  const QString current = filter_->currentData().toString();
  const QSignalBlocker quiet(filter_);
  filter_->clear();
  filter_->addItem(QStringLiteral("All findings (%1)").arg(s.errors + s.warnings + s.notes), QString());
  filter_->addItem(QStringLiteral("Errors (%1)").arg(s.errors), QStringLiteral("error"));
  filter_->addItem(QStringLiteral("Warnings (%1)").arg(s.warnings), QStringLiteral("warning"));
  filter_->addItem(QStringLiteral("Notes (%1)").arg(s.notes), QStringLiteral("note"));
  filter_->setCurrentIndex(std::max(0, filter_->findData(current)));
  lines_->clear();
  table_->setFocus();  // the arrow keys move through the findings at once
}

void CheckWindow::ShowNotice(std::string_view text) {
  notice_->setText(Shown(text));
  notice_->setVisible(!text.empty());
}

void CheckWindow::SetFilter(std::string_view severity) {
  const QString name = Shown(severity);
  if (filter_->currentData().toString() != name) {
    const QSignalBlocker quiet(filter_);
    filter_->setCurrentIndex(std::max(0, filter_->findData(name)));
  }
  shown_->setFilterRegularExpression(name.isEmpty() ? QRegularExpression()
                                                    : QRegularExpression(QStringLiteral("^") + name + QStringLiteral("$")));
}

std::vector<std::size_t> CheckWindow::FindingsOf(const QModelIndex& proxy_index) const {
  const QModelIndex first = proxy_index.siblingAtColumn(kLineColumn);
  const qlonglong finding = first.data(kFindingRole).toLongLong();
  if (finding != kNoFinding) return {static_cast<std::size_t>(finding)};
  std::vector<std::size_t> folded;
  const QModelIndex source = shown_->mapToSource(first);
  for (int row = 0; row < model_->rowCount(source); ++row) {
    folded.push_back(static_cast<std::size_t>(model_->index(row, kLineColumn, source).data(kFindingRole).toLongLong()));
  }
  return folded;
}

QString CheckWindow::CopiedText() const {
  std::vector<std::size_t> findings;
  const QModelIndexList selected = table_->selectionModel()->selectedRows(kLineColumn);
  if (!selected.isEmpty()) {
    for (const QModelIndex& index : selected) {
      const std::vector<std::size_t> of = FindingsOf(index);
      findings.insert(findings.end(), of.begin(), of.end());
    }
  } else {
    for (int row = 0; row < shown_->rowCount(); ++row) {
      const std::vector<std::size_t> of = FindingsOf(shown_->index(row, kLineColumn));
      findings.insert(findings.end(), of.begin(), of.end());
    }
  }
  // In the order of the file, each once (an open group's rows may be chosen too).
  std::sort(findings.begin(), findings.end());
  findings.erase(std::unique(findings.begin(), findings.end()), findings.end());
  std::string text;
  for (std::size_t i : findings) text.append(FindingLine(file_, report_.findings[i])).append("\n");
  return Shown(text);
}

void CheckWindow::CopyToClipboard() const { QApplication::clipboard()->setText(CopiedText()); }

void CheckWindow::ShowLinesAround(const QModelIndex& proxy_index) {
  lines_->clear();
  lines_->setExtraSelections({});
  if (!proxy_index.isValid()) return;
  const std::vector<std::size_t> findings = FindingsOf(proxy_index);
  if (findings.empty()) return;
  // The whole message first (the table's column may cut it), then the lines.
  const Finding& finding = report_.findings[findings.front()];
  const std::int64_t line = finding.line;
  QStringList shown{(line > 0 ? QStringLiteral("Line %1, ").arg(line) : QStringLiteral("The whole file, ")) +
                        Shown(SeverityName(finding.severity)) + QStringLiteral(": ") + Shown(finding.message),
                    QString()};
  const std::vector<TextLine> around = LinesAround(text_, line, kLinesAround);
  if (line > 0 && around.empty()) shown << QStringLiteral("Line %1 is not in the text checked.").arg(line);
  const int width = around.empty() ? 0 : static_cast<int>(std::to_string(around.back().number).size());
  int marked = -1;
  for (const TextLine& text_line : around) {
    if (text_line.number == line) marked = static_cast<int>(shown.size());
    shown << QStringLiteral("%1 %2  %3")
                 .arg(text_line.number == line ? QStringLiteral("\u25B6") : QStringLiteral(" "))
                 .arg(text_line.number, width)
                 .arg(Shown(text_line.text));
  }
  lines_->setPlainText(shown.join(QLatin1Char('\n')));
  if (marked < 0) return;
  QTextEdit::ExtraSelection mark;
  mark.format.setBackground(QColor(255, 240, 190));
  mark.format.setProperty(QTextFormat::FullWidthSelection, true);
  mark.cursor = QTextCursor(lines_->document()->findBlockByNumber(marked));
  lines_->setExtraSelections({mark});
}

}  // namespace zelo
