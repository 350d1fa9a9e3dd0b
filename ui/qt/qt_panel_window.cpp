#include "ui/qt/qt_panel_window.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "ui/panel/panel_state.h"
#include "ui/panel/panel_texts.h"
#include "results/finish_time.h"
#include "ui/qt/command_bar.h"
#include "ui/qt/panel_icons.h"

namespace korvanel::panel {
namespace {

// The panel's fonts relative to the system's dialog font (8 points at 96 dpi, 11 pixels): the
// values 17 pixels heavy, the frames 14 heavy, the summary and status 12 bold.
constexpr double kValueScale = 17.0 / 11.0;
constexpr double kFrameScale = 14.0 / 11.0;
constexpr double kSmallScale = 12.0 / 11.0;
constexpr double kCompactButtonScale = 14.0 / 11.0;

QFont ScaledFont(const QFont& base, double scale, QFont::Weight weight) {
  QFont font = base;
  if (base.pointSizeF() > 0) {
    font.setPointSizeF(base.pointSizeF() * scale);
  } else {
    font.setPixelSize(static_cast<int>(base.pixelSize() * scale + 0.5));
  }
  font.setWeight(weight);
  return font;
}

QFont ButtonFontFor(ButtonFont choice, const QFont& base) {
  return choice == ButtonFont::kCompact ? ScaledFont(base, kCompactButtonScale, QFont::Bold)
                                        : ScaledFont(base, kValueScale, QFont::Black);
}

QFrame* Separator() {
  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

// The summary's lines end in CR LF; a text box wants line feeds.
QString PlainLines(const std::string& text) { return ToQt(text).remove('\r'); }

}  // namespace

QtPanelWindow::QtPanelWindow() {
  setWindowIcon(ui::ProgramIcon());
  BuildLayout();
  for (const ControlText& description : AccessibleDescriptions()) {
    if (QWidget* control = Control(description.control_id)) control->setAccessibleDescription(ToQt(description.text));
  }
  auto* copy = new QShortcut(QKeySequence::Copy, this);
  connect(copy, &QShortcut::activated, this, [this] { Command(kCommandCopyResults); });
  ApplyFonts();
}

QtPanelWindow::~QtPanelWindow() = default;

// --- layout ---

void QtPanelWindow::BuildLayout() {
  auto* root = new QVBoxLayout(this);
  root->setSizeConstraint(QLayout::SetFixedSize);  // sized by its contents, like a dialog
  auto* menu_bar = new QMenuBar(this);
  root->setMenuBar(menu_bar);
  command_bar_ = new ui::CommandBar(
      menu_bar, [this](int command) { Command(command); },
      [this] {
        if (panel_) panel_->OnMenuAboutToShow();
      });
  root->addWidget(Separator());
  root->addLayout(BuildDriveRow());
  root->addWidget(Separator());
  root->addLayout(BuildValueColumns());
  root->addLayout(BuildStartRow());
  root->addWidget(BuildRatings());

  status_ = new QLabel(".....");
  status_->setTextFormat(Qt::PlainText);
  status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // Long status texts are cut rather than widening the panel.
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  controls_[kControlStatus] = status_;
  root->addWidget(status_);
  root->addWidget(Separator());
  footer_ = new QHBoxLayout;
  footer_->addStretch();
  root->addLayout(footer_);
}

QLayout* QtPanelWindow::BuildDriveRow() {
  auto* row = new QGridLayout;
  summary_ = new QPlainTextEdit;
  summary_->setReadOnly(true);
  summary_->setTabChangesFocus(true);
  summary_->setLineWrapMode(QPlainTextEdit::NoWrap);
  summary_->setAccessibleName("Drive summary");
  controls_[kControlSummary] = summary_;
  drive_list_ = new QComboBox;
  drive_list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  drive_list_->setMinimumContentsLength(18);
  connect(drive_list_, &QComboBox::activated, this, [this] { Command(kCommandDriveList); });
  controls_[kCommandDriveList] = drive_list_;
  size_list_ = new QComboBox;
  size_list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  connect(size_list_, &QComboBox::activated, this, [this] { Command(kCommandSizeList); });
  controls_[kCommandSizeList] = size_list_;
  row->addWidget(summary_, 0, 0, 3, 1);
  row->addWidget(drive_list_, 0, 1);
  row->addWidget(size_list_, 1, 1);
  row->setRowStretch(2, 1);
  row->setColumnStretch(0, 3);
  row->setColumnStretch(1, 2);
  return row;
}

QLabel* QtPanelWindow::NewValueLabel(int id, Qt::Alignment alignment) {
  auto* label = new QLabel;
  label->setTextFormat(Qt::PlainText);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(alignment | Qt::AlignVCenter);
  label->setAutoFillBackground(true);
  label->setBackgroundRole(QPalette::Base);
  label->setForegroundRole(QPalette::Text);
  controls_[id] = label;
  value_labels_.push_back(label);
  return label;
}

QPushButton* QtPanelWindow::NewCommandButton(int id) {
  auto* button = new QPushButton;
  connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
  controls_[id] = button;
  return button;
}

QLayout* QtPanelWindow::BuildValueColumns() {
  auto* columns = new QHBoxLayout;
  const int read_rows[] = {kSeqReadControl, kRnd4ReadControl, kRnd512ReadControl, kQdReadControl,
                           kAccessReadControl};
  const int write_rows[] = {kSeqWriteControl, kRnd4WriteControl, kRnd512WriteControl, kQdWriteControl,
                            kAccessWriteControl};
  const auto value_frame = [&](int frame_id, const int (&rows)[5]) {
    auto* frame = new QGroupBox;
    auto* layout = new QVBoxLayout(frame);
    for (int id : rows) layout->addWidget(NewValueLabel(id, Qt::AlignRight));
    controls_[frame_id] = frame;
    return frame;
  };
  columns->addWidget(value_frame(kControlReadFrame, read_rows), 1);

  auto* middle = new QVBoxLayout;
  middle_column_ = middle;
  auto* finish_time = new QLabel("...");
  finish_time->setTextFormat(Qt::PlainText);
  finish_time->setAlignment(Qt::AlignCenter);
  controls_[kFinishTimeControl] = finish_time;
  middle->addWidget(finish_time);
  for (int id : kTestButtons) {
    QPushButton* button = NewCommandButton(id);
    test_buttons_.push_back(button);
    middle->addWidget(button);
  }
  middle->addStretch();
  columns->addLayout(middle);
  columns->addWidget(value_frame(kControlWriteFrame, write_rows), 1);
  return columns;
}

QLayout* QtPanelWindow::BuildStartRow() {
  auto* row = new QHBoxLayout;
  start_button_ = NewCommandButton(kCommandStart);
  start_button_->setText("Start");
  row->addWidget(start_button_);
  auto* program = new QLabel;
  program->setTextFormat(Qt::PlainText);
  program->setAlignment(Qt::AlignCenter);
  controls_[kControlProgramName] = program;
  row->addWidget(program, 1);
  auto* icon = new QLabel;
  icon->setPixmap(ui::ProgramIcon().pixmap(32, 32));
  icon->setAccessibleName("Korvanel");
  row->addWidget(icon);
  return row;
}

QWidget* QtPanelWindow::BuildRatings() {
  auto* frame = new QGroupBox;
  auto* row = new QHBoxLayout(frame);
  for (int id : {kReadRatingControl, kTotalRatingControl, kWriteRatingControl}) {
    row->addWidget(NewValueLabel(id, Qt::AlignHCenter), 1);
  }
  controls_[kControlRatingFrame] = frame;
  return frame;
}

void QtPanelWindow::ApplyFonts() {
  const QFont base = QApplication::font(this);
  const QFont value = ScaledFont(base, kValueScale, QFont::Black);
  const QFont frame = ScaledFont(base, kFrameScale, QFont::Black);
  const QFont small = ScaledFont(base, kSmallScale, QFont::Bold);
  for (QLabel* label : value_labels_) label->setFont(value);
  Control(kControlProgramName)->setFont(value);
  for (int id : {kControlReadFrame, kControlWriteFrame, kControlRatingFrame}) {
    auto* group = static_cast<QGroupBox*>(Control(id));
    // A group box hands its font to its children; they keep the fonts set on them.
    group->setFont(frame);
  }
  summary_->setFont(small);
  status_->setFont(small);
  for (QPushButton* button : test_buttons_) button->setFont(ButtonFontFor(test_font_, base));
  start_button_->setFont(ButtonFontFor(start_font_, base));
  drive_list_->setFont(base);
  size_list_->setFont(base);
  Control(kFinishTimeControl)->setFont(base);

  // Room for the widest value the panel shows, so values that grow during a run never resize it.
  const QFontMetrics metrics(value);
  const int value_width = metrics.horizontalAdvance("99999.99 MB/s ") + 2 * metrics.averageCharWidth();
  for (QLabel* label : value_labels_) label->setMinimumWidth(value_width);
  const QFontMetrics small_metrics(small);
  // Four lines of summary, with the box's frame and margins and half a line to spare.
  summary_->setFixedHeight(small_metrics.lineSpacing() * 9 / 2 + 2 * summary_->frameWidth() +
                           static_cast<int>(2 * summary_->document()->documentMargin()) +
                           summary_->contentsMargins().top() + summary_->contentsMargins().bottom());
  FitSummary();
  AlignRows();
}

// The summary box is as wide as its longest line, within reason; past that it scrolls.
void QtPanelWindow::FitSummary() {
  const QFontMetrics metrics(summary_->font());
  int widest = 0;
  for (const QString& line : summary_->toPlainText().split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int chrome = 2 * summary_->frameWidth() + static_cast<int>(2 * summary_->document()->documentMargin()) +
                     summary_->contentsMargins().left() + summary_->contentsMargins().right() +
                     summary_->verticalScrollBar()->sizeHint().width() + metrics.averageCharWidth();
  summary_->setMinimumWidth(std::clamp(widest + chrome, metrics.averageCharWidth() * 34, metrics.averageCharWidth() * 72));
}

// The value labels stand level with the test buttons: every row as high as the higher of the two,
// and the first button where the frames' first value stands, below their titles. Measured on the
// laid-out window, since where a frame puts its contents depends on the style and the font.
void QtPanelWindow::AlignRows() {
  int row_height = 0;
  for (QPushButton* button : test_buttons_) row_height = std::max(row_height, button->sizeHint().height());
  for (QLabel* label : value_labels_) row_height = std::max(row_height, label->sizeHint().height());
  for (QPushButton* button : test_buttons_) button->setFixedHeight(row_height);
  for (QLabel* label : value_labels_) label->setFixedHeight(row_height);
  const int spacing = style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Vertical);
  middle_column_->setSpacing(spacing);
  for (int frame : {kControlReadFrame, kControlWriteFrame}) Control(frame)->layout()->setSpacing(spacing);
  QTimer::singleShot(0, this, [this] { LevelFirstRow(); });
}

void QtPanelWindow::LevelFirstRow() {
  layout()->activate();
  QWidget* first_value = Control(kSeqReadControl);
  QWidget* finish_time = Control(kFinishTimeControl);
  const int wanted = first_value->mapTo(this, QPoint(0, 0)).y();
  const int have = test_buttons_.front()->mapTo(this, QPoint(0, 0)).y();
  if (wanted == have) return;
  const int height = std::max(finish_time->sizeHint().height(), finish_time->height() + wanted - have);
  finish_time->setFixedHeight(height);
}

// --- PanelView ---

QWidget* QtPanelWindow::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void QtPanelWindow::SetControlText(int control, const std::string& text) {
  QWidget* widget = Control(control);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(ToQt(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(ToQt(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(ToQt(text));
  } else if (widget == summary_) {
    summary_->setPlainText(PlainLines(text));
    FitSummary();
  }
}

void QtPanelWindow::SetControlEnabled(int control, bool enabled) {
  if (QWidget* widget = Control(control)) widget->setEnabled(enabled);
}

void QtPanelWindow::SetTitle(const std::string& title) { setWindowTitle(ToQt(title)); }

void QtPanelWindow::SetButtonFonts(ButtonFont test_buttons, ButtonFont start_button) {
  test_font_ = test_buttons;
  start_font_ = start_button;
  ApplyFonts();
}

void QtPanelWindow::SetRightToLeft(bool right_to_left) {
  setLayoutDirection(right_to_left ? Qt::RightToLeft : Qt::LeftToRight);
}

void QtPanelWindow::SetMenuBar(const MenuBar& menu) { command_bar_->SetMenu(menu); }

void QtPanelWindow::SetMenuItemChecked(int command, bool checked) { command_bar_->SetChecked(command, checked); }

void QtPanelWindow::SetStripButton(const std::string& text, int command) {
  command_bar_->SetStripButton(text, command);
}

void QtPanelWindow::SetFooterButtons(const std::vector<MenuItem>& buttons) {
  for (QToolButton* old : footer_buttons_) delete old;
  footer_buttons_.clear();
  int position = 0;
  for (const MenuItem& item : buttons) {
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setText(ToQt(item.text));
    button->setProperty("command", item.command);
    const int command = item.command;
    connect(button, &QToolButton::clicked, this, [this, command] { Command(command); });
    footer_->insertWidget(position++, button);
    footer_buttons_.push_back(button);
  }
}

QToolButton* QtPanelWindow::FooterButton(int command) const {
  for (QToolButton* button : footer_buttons_) {
    if (button->property("command").toInt() == command) return button;
  }
  return nullptr;
}

void QtPanelWindow::SetSizeItems(const std::vector<std::string>& items) {
  size_list_->clear();
  for (const std::string& item : items) size_list_->addItem(ToQt(item));
  size_list_->setCurrentIndex(-1);
}

int QtPanelWindow::SizeSelection() const { return size_list_->currentIndex(); }

void QtPanelWindow::SelectSize(int index) { size_list_->setCurrentIndex(index); }

void QtPanelWindow::SetDriveItems(const std::vector<DriveItem>& items) {
  drive_list_->clear();
  for (const DriveItem& item : items) drive_list_->addItem(ui::DriveIcon(item.kind), ToQt(item.text));
  drive_list_->setCurrentIndex(-1);
}

int QtPanelWindow::DriveSelection() const { return drive_list_->currentIndex(); }

void QtPanelWindow::SelectDrive(int index) { drive_list_->setCurrentIndex(index); }

void QtPanelWindow::StartTimer(int id, int milliseconds) {
  QTimer*& timer = timers_[id];
  if (timer == nullptr) {
    timer = new QTimer(this);
    timer->setSingleShot(true);
    // The pass window's length is part of the measurement.
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id] {
      if (panel_) panel_->OnTimer(id);
    });
  }
  timer->start(milliseconds);
}

void QtPanelWindow::Quit(int exit_code) {
  hide();
  QCoreApplication::exit(exit_code);
}

void QtPanelWindow::ShowInformation(const std::string& caption, const std::string& text) {
  QMessageBox::information(this, ToQt(caption), ToQt(text));
}

void QtPanelWindow::ShowError(const std::string& text) {
  QMessageBox::critical(this, "Error", PlainLines(text));
}

int QtPanelWindow::ChooseFromLanguageMenu(const std::vector<MenuItem>& items) {
  QMenu menu(this);
  ui::FillMenu(&menu, items);
  QToolButton* anchor = FooterButton(kCommandLanguage);
  QPoint at = anchor != nullptr ? anchor->mapToGlobal(anchor->rect().bottomLeft()) : QCursor::pos();
  if (anchor != nullptr) anchor->setDown(true);
  QAction* chosen = menu.exec(at);
  if (anchor != nullptr) anchor->setDown(false);
  return chosen != nullptr ? chosen->data().toInt() : 0;
}

std::optional<std::string> QtPanelWindow::AskSaveFileName(const std::string& proposed_name) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  const QString chosen =
      QFileDialog::getSaveFileName(this, QString(), folder + "/" + ToQt(proposed_name), "PNG (*.png)");
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

std::optional<std::string> QtPanelWindow::AskOpenFileName() {
  const QString chosen = QFileDialog::getOpenFileName(this, "Load from File (Unicode)", QDir::homePath());
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

QImage QtPanelWindow::RenderImage() {
  const QPixmap body = grab();
  const qreal ratio = body.devicePixelRatio();
  const QFontMetrics metrics(font());
  const int title_height = metrics.height() + 10;
  const QSize logical = body.deviceIndependentSize().toSize();
  QImage image(QSize(body.width(), body.height() + static_cast<int>(title_height * ratio)),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(palette().color(QPalette::Window));
  QPainter painter(&image);
  // The title strip carries the program, its version and the system, as the window's title does.
  const QRect strip(0, 0, logical.width(), title_height);
  painter.fillRect(strip, palette().color(QPalette::Highlight));
  const int icon_size = metrics.height();
  painter.drawPixmap(5, (title_height - icon_size) / 2, windowIcon().pixmap(icon_size, icon_size));
  painter.setPen(palette().color(QPalette::HighlightedText));
  const QRect text_rect = strip.adjusted(icon_size + 10, 0, -5, 0);
  painter.drawText(text_rect, Qt::AlignVCenter | Qt::AlignLeft,
                   metrics.elidedText(windowTitle(), Qt::ElideRight, text_rect.width()));
  painter.drawPixmap(0, title_height, body);
  return image;
}

std::string QtPanelWindow::RenderPng() {
  const QImage image = RenderImage();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "PNG")) return {};
  return bytes.toStdString();
}

void QtPanelWindow::CopyToClipboard(const std::string& text) { QGuiApplication::clipboard()->setText(ToQt(text)); }

// --- UiThread ---

void QtPanelWindow::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

// --- the user ---

void QtPanelWindow::Command(int command) {
  if (panel_) panel_->OnCommand(command);
}

void QtPanelWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      Command(kCommandCancel);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter presses the focused button; anywhere else it is the panel's Enter command.
      if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
        button->animateClick();
      } else {
        Command(kCommandEnter);
      }
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void QtPanelWindow::closeEvent(QCloseEvent* event) {
  // The close box is Escape: the panel decides when the program ends.
  if (panel_ && !panel_->ExitCode()) {
    event->ignore();
    Command(kCommandCancel);
  }
}

void QtPanelWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  LevelFirstRow();
}

void QtPanelWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::ApplicationFontChange) ApplyFonts();
}

}  // namespace korvanel::panel
