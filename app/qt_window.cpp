#include "app/qt_window.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zelo {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidthTwips = 11508;
constexpr int kClientHeightTwips = 8940;
constexpr qreal kPointSize = 9.6;
constexpr qreal kSmallestPointSize = 7.2;  // a long prompt shrinks no further
constexpr int kOptionTopTwips = 8280;
constexpr int kOptionHeightTwips = 495;
constexpr int kProgressMax = 100;

// The length of the valid UTF-8 sequence that `text` starts with, or 0 when
// its first byte starts none (overlong forms, surrogates and values past
// U+10FFFF are not valid).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// Calls on_run(valid UTF-8 run) and on_byte(other byte) through `text`, in order.
template <typename OnRun, typename OnByte>
void WalkDisplayBytes(std::string_view text, OnRun on_run, OnByte on_byte) {
  std::size_t run_start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = Utf8SequenceLength(text.substr(i));
    if (length > 0) {
      i += length;
      continue;
    }
    if (i > run_start) on_run(text.substr(run_start, i - run_start));
    on_byte(static_cast<unsigned char>(text[i]));
    run_start = ++i;
  }
  if (i > run_start) on_run(text.substr(run_start, i - run_start));
}

QString FromBytes(std::string_view text) { return DisplayText(text); }

// A path as the file system spells it, in bytes.
std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QFont FamilyFont(const char* family, bool bold = false) {
  QFont font(QString::fromLatin1(family));
  font.setPointSizeF(kPointSize);
  font.setBold(bold);
  return font;
}

QRect TwipsRect(int left, int top, int width, int height) {
  return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

void SetColour(QWidget* widget, QPalette::ColorRole role, QColor colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

// Characters DisplayText makes of `text`: one per UTF-8 sequence or other byte.
std::size_t DisplayLength(std::string_view text) {
  std::size_t length = 0;
  WalkDisplayBytes(
      text,
      [&length](std::string_view run) {
        length += static_cast<std::size_t>(std::count_if(run.begin(), run.end(), [](char c) {
          return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
      },
      [&length](unsigned char) { ++length; });
  return length;
}

// The path of the one local file that a drag carries, in bytes; nullopt for
// anything else.
std::optional<std::string> DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  return PathBytes(urls.front().toLocalFile());
}

// Gives every row the size of the widest line: the list view measures one
// row for all (that keeps it quick with many lines), and this way it scrolls
// far enough to show every line whole.
class WidestLineDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const auto* model = qobject_cast<const ListLinesModel*>(index.model());
    if (model == nullptr || model->rowCount() == 0) {
      return QStyledItemDelegate::sizeHint(option, index);
    }
    return QStyledItemDelegate::sizeHint(option, model->index(model->WidestRow()));
  }
};

// The findings of a log check as a table: line, severity, message (whole in
// its tool tip). The messages may quote log bytes; they are shown decoded as
// UTF-8.
class FindingsModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Show(std::vector<Finding> findings) {
    beginResetModel();
    findings_ = std::move(findings);
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : static_cast<int>(findings_.size());
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : 3; }

  QVariant data(const QModelIndex& index, int role) const override {
    const bool shown = role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.column() == 2);
    if (!shown || !index.isValid() || index.row() >= rowCount()) return {};
    const Finding& finding = findings_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
      case 0: return QString::number(finding.line);
      case 1: return FromBytes(SeverityName(finding.severity));
      default: return FromBytes(finding.message);
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const char* const kTitles[] = {"Line", "Severity", "Message"};
    return section >= 0 && section < 3 ? QString::fromLatin1(kTitles[section]) : QVariant();
  }

 private:
  std::vector<Finding> findings_;
};

// "1 error, 2 warnings, 0 notes. Computed score 132, claimed score none."
std::string FindingCounts(const CheckSummary& s) {
  const auto count = [](std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string text = count(s.errors, "error", "errors") + ", " + count(s.warnings, "warning", "warnings") + ", " +
                     count(s.notes, "note", "notes") + ".";
  if (!s.scored) return text + " The log is not scored.";
  return text + " Computed score " + std::to_string(s.score) + ", claimed score " +
         (s.claimed_score ? std::to_string(*s.claimed_score) : std::string("none")) + ".";
}

}  // namespace

int CaptionRoom(const QAbstractButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  if (qobject_cast<const QPushButton*>(button) != nullptr) {
    // Centred within the frame.
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
  }
  // From the end of the indicator to the button's edge.
  return button->width() -
         button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).left();
}

QString DisplayText(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  WalkDisplayBytes(
      bytes,
      [&text](std::string_view run) {
        text.append(QString::fromUtf8(run.data(), static_cast<qsizetype>(run.size())));
      },
      [&text](unsigned char byte) { text.append(QChar(byte)); });
  return text;
}

int TwipsToPixels(int twips) { return (2 * twips + kTwipsPerPixel) / (2 * kTwipsPerPixel); }

QFont ListFont() {
  QFont font = FamilyFont("NewZurica");
  if (QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0) return font;
  font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(kPointSize);
  return font;
}

int ListLinesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ListLinesModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return FromBytes(lines_[static_cast<std::size_t>(index.row())]);
}

void ListLinesModel::Clear() {
  beginResetModel();
  lines_.clear();
  widest_row_ = 0;
  widest_length_ = 0;
  endResetModel();
}

void ListLinesModel::Append(std::span<const std::string> lines) {
  if (lines.empty()) return;
  const std::size_t first = lines_.size();
  beginInsertRows(QModelIndex(), static_cast<int>(first),
                  static_cast<int>(first + lines.size()) - 1);
  lines_.insert(lines_.end(), lines.begin(), lines.end());
  for (std::size_t row = first; row < lines_.size(); ++row) {
    const std::size_t length = DisplayLength(lines_[row]);
    if (length > widest_length_) {
      widest_length_ = length;
      widest_row_ = row;
    }
  }
  endInsertRows();
}

std::string ListLinesModel::Line(std::size_t index) const {
  return index < lines_.size() ? lines_[index] : std::string();
}

std::unique_ptr<QFileDialog> MakeFileDialog(DialogKind kind, const DialogSettings& settings,
                                            QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent, FromBytes(settings.title));
  // Qt takes a filter's pattern from its last parentheses, so the pattern is
  // put there and hidden: the user sees the description alone (a description
  // such as "All Files (*.*)" would otherwise hide names without a dot).
  dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
  dialog->setNameFilter(FromBytes(settings.filter_description) + QStringLiteral(" (") +
                        FromBytes(settings.filter_pattern) + QStringLiteral(")"));
  if (kind == DialogKind::kOpen) {
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QString());
  }
  dialog->selectFile(FromBytes(settings.initial_name));
  return dialog;
}

QtWindow::QtWindow(QWidget* parent)
    : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("ZELO Razezuz Score Calculator"));
  setFont(FamilyFont("Bitstream Vera Sans"));
  setAcceptDrops(true);
  CreateControls();
  CreateMenu();
  // The window keeps its design size: the client area, plus the menu bar.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QtWindow::~QtWindow() = default;

QRadioButton* QtWindow::AddOption(const char* name, const char* caption, int left_twips,
                                  int width_twips, const QFont& font) {
  auto* option = new QRadioButton(centralWidget());
  option->setObjectName(QString::fromLatin1(name));
  option->setGeometry(TwipsRect(left_twips, kOptionTopTwips, width_twips, kOptionHeightTwips));
  option->setFont(font);
  FitCaption(option, QString::fromLatin1(caption));
  option->hide();
  options_->addButton(option);
  return option;
}

void QtWindow::CreateControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  client->setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
  setCentralWidget(client);

  cmdCommand1_ = new QPushButton(client);
  cmdCommand1_->setObjectName(QStringLiteral("cmdCommand1"));
  cmdCommand1_->setGeometry(TwipsRect(840, 480, 10455, 495));
  cmdCommand1_->setFont(FamilyFont("Comic Sans MS", /*bold=*/true));
  FitCaption(cmdCommand1_, FromBytes(kStartCaption));
  SetColour(cmdCommand1_, QPalette::Button, QColor(255, 224, 192));

  // Under the prompt, above the list: both are hidden while a log is awaited.
  refusal_ = new QLabel(client);
  refusal_->setObjectName(QStringLiteral("refusal"));
  refusal_->setGeometry(TwipsRect(840, 1035, 10455, 945));
  refusal_->setTextFormat(Qt::PlainText);
  refusal_->setWordWrap(true);
  refusal_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetColour(refusal_, QPalette::WindowText, QColor(160, 0, 0));
  refusal_->hide();

  ProgressBar1_ = new QProgressBar(client);
  ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1_->setGeometry(TwipsRect(1920, 120, 6975, 375));
  ProgressBar1_->setRange(0, kProgressMax);
  ProgressBar1_->setValue(0);
  ProgressBar1_->setTextVisible(false);
  ProgressBar1_->hide();

  list_lines_ = new ListLinesModel(this);
  lstList1_ = new QListView(client);
  lstList1_->setObjectName(QStringLiteral("lstList1"));
  lstList1_->setGeometry(TwipsRect(1560, 2040, 7695, 5232));
  lstList1_->setFont(ListFont());
  lstList1_->setUniformItemSizes(true);
  lstList1_->setSelectionMode(QAbstractItemView::SingleSelection);
  lstList1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstList1_->setModel(list_lines_);
  lstList1_->setItemDelegate(new WidestLineDelegate(lstList1_));
  lstList1_->setTextElideMode(Qt::ElideNone);
  SetColour(lstList1_, QPalette::Base, QColor(192, 192, 255));
  SetColour(lstList1_, QPalette::Text, QColor(0, 0, 192));
  lstList1_->hide();

  options_ = new QButtonGroup(this);
  options_->setExclusive(true);
  const QFont verdana = FamilyFont("Verdana");
  const QFont window_font = font();
  band_options_ = {AddOption("Option160", "160M", 2040, 855, verdana),
                   AddOption("Option80", "80M", 3000, 855, verdana),
                   AddOption("Option40", "40M", 3960, 855, verdana),
                   AddOption("Option20", "20M", 4920, 855, verdana),
                   AddOption("Option15", "15M", 5880, 855, window_font),
                   AddOption("Option10", "10M", 6840, 855, window_font)};
  optnAll_ = AddOption("optnAll", "All QSOs", 7800, 855, verdana);
  optnSum_ = AddOption("optnSum", "Summary", 8880, 1215, verdana);
  SetColour(band_options_[0], QPalette::WindowText, QColor(0, 0, 0));

  QWidget* const tab_order[] = {cmdCommand1_,      lstList1_,        band_options_[0],
                                band_options_[1],  band_options_[2], band_options_[3],
                                optnSum_,          optnAll_,         band_options_[4],
                                band_options_[5]};
  for (std::size_t i = 1; i < std::size(tab_order); ++i) {
    QWidget::setTabOrder(tab_order[i - 1], tab_order[i]);
  }

  cmdCommand1_->installEventFilter(this);
  for (QAbstractButton* option : options_->buttons()) option->installEventFilter(this);

  connect(cmdCommand1_, &QPushButton::clicked, this, [this] { form_.cmdCommand1_Click(); });
  connect(band_options_[0], &QRadioButton::clicked, this, [this] { form_.Option160_Click(); });
  connect(band_options_[1], &QRadioButton::clicked, this, [this] { form_.Option80_Click(); });
  connect(band_options_[2], &QRadioButton::clicked, this, [this] { form_.Option40_Click(); });
  connect(band_options_[3], &QRadioButton::clicked, this, [this] { form_.Option20_Click(); });
  connect(band_options_[4], &QRadioButton::clicked, this, [this] { form_.Option15_Click(); });
  connect(band_options_[5], &QRadioButton::clicked, this, [this] { form_.Option10_Click(); });
  connect(optnSum_, &QRadioButton::clicked, this, [this] { form_.optnSum_Click(); });
}

void QtWindow::CreateMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("mnuFile"));
  mnuFileOpen_ = file->addAction(QStringLiteral("&Open"));
  mnuFileSave_ = file->addAction(QStringLiteral("&Save"));
  mnuFileExit_ = file->addAction(QStringLiteral("&Exit"));
  mnuAbout_ = menuBar()->addAction(QStringLiteral("&About"));
  mnuHelp_ = menuBar()->addAction(QStringLiteral("&Help"));
  mnuCheck_ = menuBar()->addAction(QStringLiteral("&Check"));
  mnuFileOpen_->setObjectName(QStringLiteral("mnuFileOpen"));
  mnuFileSave_->setObjectName(QStringLiteral("mnuFileSave"));
  mnuFileExit_->setObjectName(QStringLiteral("mnuFileExit"));
  mnuAbout_->setObjectName(QStringLiteral("mnuAbout"));
  mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
  mnuCheck_->setObjectName(QStringLiteral("mnuCheck"));
  mnuFileOpen_->setEnabled(false);
  mnuFileSave_->setEnabled(false);
  mnuCheck_->setEnabled(false);

  connect(mnuFileOpen_, &QAction::triggered, this, [this] { form_.mnuFileOpen_Click(); });
  connect(mnuFileSave_, &QAction::triggered, this, [this] { form_.mnuFileSave_Click(); });
  connect(mnuFileExit_, &QAction::triggered, this, [this] { form_.mnuFileExit_Click(); });
  connect(mnuAbout_, &QAction::triggered, this, [this] { form_.mnuAbout_Click(); });
  connect(mnuHelp_, &QAction::triggered, this, [this] { form_.mnuHelp_Click(); });
  connect(mnuCheck_, &QAction::triggered, this, [this] { form_.mnuCheck_Click(); });
}

QWidget* QtWindow::ControlWidget(Control control) const {
  switch (control) {
    case Control::cmdCommand1: return cmdCommand1_;
    case Control::ProgressBar1: return ProgressBar1_;
    case Control::lstList1: return lstList1_;
    case Control::Option160: return band_options_[0];
    case Control::Option80: return band_options_[1];
    case Control::Option40: return band_options_[2];
    case Control::Option20: return band_options_[3];
    case Control::Option15: return band_options_[4];
    case Control::Option10: return band_options_[5];
    case Control::optnSum: return optnSum_;
    case Control::optnAll: return optnAll_;
  }
  return nullptr;
}

void FitCaption(QAbstractButton* button, const QString& text) {
  button->setText(text);
  QFont font = button->font();
  font.setPointSizeF(kPointSize);
  const int room = CaptionRoom(button);
  while (QFontMetricsF(font).horizontalAdvance(text) > room &&
         font.pointSizeF() > kSmallestPointSize) {
    font.setPointSizeF(std::max(kSmallestPointSize, font.pointSizeF() - 0.2));
  }
  button->setFont(font);
  // What still does not fit can be read in full from the tool tip.
  button->setToolTip(QFontMetricsF(font).horizontalAdvance(text) > room ? text : QString());
}

void QtWindow::SetCaption(Control control, std::string_view text) {
  // The progress bar and the list box have no caption.
  if (auto* button = qobject_cast<QAbstractButton*>(ControlWidget(control))) {
    const QString caption = FromBytes(text);
    // A scoring run shows the save prompt again for every contact on no
    // band: a caption already shown is fitted already.
    if (button->text() == caption) return;
    FitCaption(button, caption);
  }
}

void FitCaptionWithPath(QAbstractButton* button, const QString& before, const QString& path,
                        const QString& after) {
  const QString whole = before + path + after;
  FitCaption(button, whole);
  if (button->toolTip().isEmpty()) return;  // it fits whole
  // At the smallest size: the path gives way, in its middle.
  const QFontMetricsF metrics(button->font());
  const qreal room = CaptionRoom(button) - metrics.horizontalAdvance(before + after);
  button->setText(before + metrics.elidedText(path, Qt::ElideMiddle, std::max<qreal>(room, 0)) + after);
  button->setToolTip(whole);
}

void QtWindow::SetCaptionWithPath(Control control, std::string_view before, std::string_view path,
                                  std::string_view after) {
  if (auto* button = qobject_cast<QAbstractButton*>(ControlWidget(control))) {
    FitCaptionWithPath(button, FromBytes(before), FromBytes(path), FromBytes(after));
  }
}

void QtWindow::ShowRefusal(std::string_view path, std::string_view reason) {
  const QString separator = QStringLiteral(": ");
  const QString whole_path = FromBytes(path);
  // The path on one line at most, shortened in its middle; the reason wraps.
  const QFontMetricsF metrics(refusal_->font());
  const qreal room = refusal_->contentsRect().width() - metrics.horizontalAdvance(separator);
  const QString shown_path = metrics.elidedText(whole_path, Qt::ElideMiddle, room);
  refusal_->setText(shown_path + separator + FromBytes(reason));
  refusal_->setToolTip(shown_path == whole_path ? QString() : whole_path);
  refusal_->show();
}

void QtWindow::HideRefusal() {
  refusal_->hide();
  refusal_->clear();
  refusal_->setToolTip(QString());
}

void QtWindow::SetMenuEnabled(Menu menu, bool enabled) {
  switch (menu) {
    case Menu::mnuFileOpen: mnuFileOpen_->setEnabled(enabled); break;
    case Menu::mnuFileSave: mnuFileSave_->setEnabled(enabled); break;
    case Menu::mnuCheck: mnuCheck_->setEnabled(enabled); break;
  }
}

void QtWindow::SetVisible(Control control, bool visible) {
  if (QWidget* widget = ControlWidget(control)) widget->setVisible(visible);
}

void QtWindow::ClearList() {
  list_lines_->Clear();
  // A new listing starts at its heading and first columns, however far the
  // last one was scrolled.
  lstList1_->horizontalScrollBar()->setValue(0);
  lstList1_->verticalScrollBar()->setValue(0);
}

void QtWindow::AppendListLines(std::span<const std::string> lines) { list_lines_->Append(lines); }

std::size_t QtWindow::ListLineCount() const { return list_lines_->Count(); }

std::string QtWindow::ListLine(std::size_t index) const { return list_lines_->Line(index); }

void QtWindow::SetProgress(int value) {
  // QProgressBar ignores a value outside its range; the bar shows the nearest end.
  value = std::clamp(value, 0, kProgressMax);
  if (ProgressBar1_->value() != value) ProgressBar1_->setValue(value);
}

int QtWindow::Progress() const { return ProgressBar1_->value(); }

void QtWindow::RepaintNow() {
  // Paints and other window events only: a click or a key waits until the
  // run is over, so no handler starts inside it.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // The platform draws a window at most once a frame; the bar is drawn at
  // every step all the same, which costs little.
  ProgressBar1_->repaint();
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      if (!key->isAutoRepeat() && button->isEnabled()) button->click();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void QtWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedFile(event->mimeData()) && form_.AcceptsDroppedLog()) event->acceptProposedAction();
}

void QtWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (DroppedFile(event->mimeData()) && form_.AcceptsDroppedLog()) event->acceptProposedAction();
}

void QtWindow::dropEvent(QDropEvent* event) {
  const std::optional<std::string> path = DroppedFile(event->mimeData());
  if (!path || !form_.AcceptsDroppedLog()) return;
  event->acceptProposedAction();
  // Opened once the drop is over, so that the program the file came from
  // is not kept waiting through the scoring run.
  QMetaObject::invokeMethod(
      this, [this, file = *path] { form_.LogDropped(file); }, Qt::QueuedConnection);
}

std::optional<std::string> QtWindow::RunDialog(DialogKind kind, const DialogSettings& settings) {
  if (dialog_hook_) return dialog_hook_(kind, settings);
  const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(kind, settings, this);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return PathBytes(chosen.front());
}

std::optional<std::string> QtWindow::ShowOpenDialog(const DialogSettings& settings) {
  return RunDialog(DialogKind::kOpen, settings);
}

std::optional<std::string> QtWindow::ShowSaveDialog(const DialogSettings& settings) {
  return RunDialog(DialogKind::kSave, settings);
}

void QtWindow::ShowFindings(const CheckReport& report) {
  if (check_window_ == nullptr) {
    check_window_ = new QDialog(this);
    check_window_->setObjectName(QStringLiteral("checkWindow"));
    check_window_->setWindowTitle(QStringLiteral("Log check"));
    check_window_->resize(900, 480);
    auto* counts = new QLabel(check_window_);
    counts->setObjectName(QStringLiteral("checkCounts"));
    auto* table = new QTableView(check_window_);
    table->setObjectName(QStringLiteral("checkFindings"));
    table->setModel(new FindingsModel(check_window_));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(check_window_);
    layout->addWidget(counts);
    layout->addWidget(table);
  }
  check_window_->findChild<QLabel*>(QStringLiteral("checkCounts"))->setText(FromBytes(FindingCounts(report.summary)));
  auto* table = check_window_->findChild<QTableView*>(QStringLiteral("checkFindings"));
  static_cast<FindingsModel*>(table->model())->Show(report.findings);
  table->resizeColumnToContents(0);
  table->resizeColumnToContents(1);
  check_window_->show();
  check_window_->raise();
  check_window_->activateWindow();
}

void QtWindow::ShowHelp(const std::string& help_file) {
  if (help_window_ == nullptr) {
    help_window_ = new QDialog(this);
    help_window_->setObjectName(QStringLiteral("helpWindow"));
    help_window_->setWindowTitle(QStringLiteral("ZELO Score Help"));
    help_window_->resize(720, 600);
    help_browser_ = new QTextBrowser(help_window_);
    help_browser_->setObjectName(QStringLiteral("helpBrowser"));
    auto* layout = new QVBoxLayout(help_window_);
    layout->addWidget(help_browser_);
  }
  const QString path = QFile::decodeName(QByteArray::fromStdString(help_file));
  const QFileInfo info(path);
  if (info.isFile() && info.isReadable()) {
    help_browser_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()),
                             QTextDocument::HtmlResource);
  } else {
    help_browser_->setSource(QUrl());
    help_browser_->setPlainText(QStringLiteral("The help file was not found.\n\n"
                                               "It was looked for here:\n") +
                                path);
  }
  help_window_->show();
  help_window_->raise();
  help_window_->activateWindow();
}

void QtWindow::ShowAbout(const AboutInfo& about) {
  const QString name = FromBytes(about.name);
  QMessageBox::about(this, QStringLiteral("About ") + name,
                     QStringLiteral("<p><b>%1</b> %2</p><p>%3</p><p>Built with Qt %4.</p>")
                         .arg(name.toHtmlEscaped(), FromBytes(about.version).toHtmlEscaped(),
                              FromBytes(about.description).toHtmlEscaped(),
                              QString::fromLatin1(qVersion())));
}

std::string QtWindow::ProgramFolder() const {
  return PathBytes(QCoreApplication::applicationDirPath());
}

void QtWindow::Unload() {
  close();
  QCoreApplication::quit();
}

}  // namespace zelo
