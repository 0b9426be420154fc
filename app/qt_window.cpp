#include "app/qt_window.h"

#include "app/check_window.h"
#include "views/display_text.h"

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

// lstList1 at the design size, in twips.
struct TwipsBox {
  int left, top, width, height;
};
constexpr TwipsBox kListRect{1560, 2040, 7695, 5232};

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
  const std::string text = DisplayUtf8(bytes);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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
  if (!settings.folder.empty()) dialog->setDirectory(QFile::decodeName(QByteArray::fromStdString(settings.folder)));
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
  // The window opens at its design size (the client area, plus the menu bar)
  // and may grow; it never shrinks below it.
  layout()->setSizeConstraint(QLayout::SetMinimumSize);
  resize(layout()->minimumSize());
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
  client->setMinimumSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
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
  lstList1_->setGeometry(TwipsRect(kListRect.left, kListRect.top, kListRect.width, kListRect.height));
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

void QtWindow::ShowRefusal(std::string_view before, std::string_view path, std::string_view after) {
  const QString head = FromBytes(before);
  const QString whole_path = FromBytes(path);
  // The path on one line at most, shortened in its middle; the rest wraps.
  const QFontMetricsF metrics(refusal_->font());
  const qreal room = refusal_->contentsRect().width() - metrics.horizontalAdvance(head);
  const QString shown_path = metrics.elidedText(whole_path, Qt::ElideMiddle, room);
  refusal_->setText(head + shown_path + FromBytes(after));
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

void QtWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  const QWidget* client = centralWidget();
  const int grow_x = std::max(0, client->width() - TwipsToPixels(kClientWidthTwips));
  const int grow_y = std::max(0, client->height() - TwipsToPixels(kClientHeightTwips));
  lstList1_->setGeometry(TwipsRect(kListRect.left, kListRect.top, kListRect.width, kListRect.height)
                             .adjusted(0, 0, grow_x, grow_y));
  for (QAbstractButton* option : options_->buttons()) {
    option->move(option->x(), TwipsToPixels(kOptionTopTwips) + grow_y);
  }
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

void QtWindow::ShowFindings(const FindingsView& view) {
  if (check_window_ == nullptr) {
    check_window_ = new CheckWindow(this, [this] { form_.CheckAgain_Click(); }, [this] { form_.SaveFindings_Click(); });
  }
  check_window_->Show(view);
  check_window_->show();
  check_window_->raise();
  check_window_->activateWindow();
}

void QtWindow::ShowFindingsNotice(std::string_view text) {
  if (check_window_ != nullptr) check_window_->ShowNotice(text);
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
