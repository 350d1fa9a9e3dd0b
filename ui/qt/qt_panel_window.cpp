#include "ui/qt/qt_panel_window.h"

#include <QAccessibleWidget>
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
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "ui/panel/panel_state.h"
#include "ui/panel/panel_texts.h"
#include "ui/panel/test_places.h"
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

// The panel is the program's window: a screen reader announces it as one (a plain widget would be
// a mere "filler" to it) and reads its title.
QAccessibleInterface* PanelWindowAccessible(const QString&, QObject* object) {
  if (auto* window = dynamic_cast<QtPanelWindow*>(object)) return new QAccessibleWidget(window, QAccessible::Window);
  return nullptr;
}

}  // namespace

QtPanelWindow::QtPanelWindow() {
  static const bool factory_installed = (QAccessible::installFactory(&PanelWindowAccessible), true);
  (void)factory_installed;
  setWindowIcon(ui::ProgramIcon());
  BuildLayout();
  for (const ControlText& description : AccessibleDescriptions()) {
    if (QWidget* control = Control(description.control_id)) control->setAccessibleDescription(ToQt(description.text));
  }
  for (const ControlText& name : AccessibleNames()) {
    if (name.control_id == kControlStatus) {
      status_name_ = ToQt(name.text);  // given while the line is empty
    } else if (QWidget* control = Control(name.control_id)) {
      // A list's own name is what it shows; a screen reader finds what it chooses through a label.
      // The panel has room for none on screen, so the label stays hidden and only names the list.
      auto* label = new QLabel(ToQt(name.text), control->parentWidget());
      label->setBuddy(control);
      label->hide();
    }
  }
  status_->setAccessibleName(status_name_);
  auto* copy = new QShortcut(QKeySequence::Copy, this);
  connect(copy, &QShortcut::activated, this, [this] { Command(kCommandCopyResults); });
  ApplyFonts();
}

QtPanelWindow::~QtPanelWindow() = default;

// --- layout ---

void QtPanelWindow::BuildLayout() {
  auto* root = new QVBoxLayout(this);
  // Sized by its contents like a dialog, within the screen (FitToScreen); the spacing is set so the
  // fitting can add it up.
  const int spacing = style()->combinedLayoutSpacing(QSizePolicy::DefaultType, QSizePolicy::DefaultType, Qt::Vertical);
  root->setSpacing(spacing > 0 ? spacing : 6);
  // The menu bar and the Donate button share the top row.
  auto* top = new QWidget(this);
  auto* top_row = new QHBoxLayout(top);
  top_row->setContentsMargins(0, 0, 0, 0);
  top_row->setSpacing(0);
  auto* menu_bar = new QMenuBar(top);
  top_row->addWidget(menu_bar, 1);
  root->setMenuBar(top);
  command_bar_ = new ui::CommandBar(
      menu_bar, top_row, [this](int command) { Command(command); },
      [this] {
        if (panel_) panel_->OnMenuAboutToShow();
      });
  // Everything but the menu bar, the status line and the footer scrolls when the screen is too
  // small for it (a large font, a high scale, a netbook), so those three always stay in view.
  content_ = new QWidget;
  auto* body = new QVBoxLayout(content_);
  body->setContentsMargins(0, 0, 0, 0);
  body->addWidget(Separator());
  body->addLayout(BuildDriveRow());
  body->addWidget(Separator());
  body->addLayout(BuildValueColumns());
  body->addLayout(BuildStartRow());
  body->addWidget(BuildRatings());
  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(content_);
  scroll_->setFocusPolicy(Qt::NoFocus);
  content_->installEventFilter(this);
  root->addWidget(scroll_);

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
  // The list says where the chosen drive's test goes, as each item does.
  connect(drive_list_, &QComboBox::currentIndexChanged, this, [this](int index) {
    drive_list_->setToolTip(index < 0 ? QString() : drive_list_->itemData(index, Qt::ToolTipRole).toString());
  });
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
  FitToScreen();
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

// The window is as large as its contents, within the screen's free area; the scrolling part gives
// up what does not fit, so the menu bar, the status line and the footer are never cut off.
void QtPanelWindow::FitToScreen() {
  fit_pending_ = false;
  const QScreen* on = screen();
  if (on == nullptr) return;
  content_->layout()->activate();
  const QSize natural = content_->layout()->totalSizeHint();
  // What the window holds besides the scrolling part, stacked as the layout stacks it.
  QLayout* root = layout();
  const QMargins margins = root->contentsMargins();
  int others_height = margins.top() + margins.bottom() + root->spacing() * (root->count() - 1);
  // Only the menu row's height counts: a menu bar's width hint is its current width when it is
  // laid out right to left.
  if (QWidget* menu = root->menuBar()) others_height += menu->sizeHint().height();
  for (int i = 0; i < root->count(); ++i) {
    if (root->itemAt(i)->widget() != scroll_) others_height += root->itemAt(i)->sizeHint().height();
  }
  // What the window manager adds around the window: known once it is on screen, else a title bar.
  QSize frame = frameGeometry().size() - geometry().size();
  if (frame.isEmpty()) frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const QSize room = on->availableGeometry().size() - frame;
  const int budget_width = room.width() - margins.left() - margins.right();
  const int budget_height = room.height() - others_height;
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  bool vertical = natural.height() > budget_height;
  const bool horizontal = natural.width() + (vertical ? bar : 0) > budget_width;
  vertical = vertical || natural.height() + (horizontal ? bar : 0) > budget_height;
  const int width = std::min(natural.width() + (vertical ? bar : 0), budget_width);
  const int height = std::min(natural.height() + (horizontal ? bar : 0), budget_height);
  setFixedSize(width + margins.left() + margins.right(), height + others_height);
}

// The notice in the footer gives way when the window is narrow: shortened with "...", whole in its
// tooltip and for a screen reader; "# LNG" beside it always stays whole.
void QtPanelWindow::ShortenNotice() {
  QToolButton* notice = FooterButton(kCommandNotice);
  if (notice == nullptr) return;
  const QString full = notice->accessibleName();
  int others = 0;
  for (QToolButton* button : footer_buttons_) {
    if (button != notice) others += button->sizeHint().width() + footer_->spacing();
  }
  const QMargins margins = layout()->contentsMargins();
  const int room = width() - margins.left() - margins.right() - others;
  const QFontMetrics metrics = notice->fontMetrics();
  const int chrome = notice->sizeHint().width() - metrics.horizontalAdvance(notice->text());
  const QString shown = metrics.elidedText(full, Qt::ElideRight, room - chrome);
  if (shown != notice->text()) notice->setText(shown);
  notice->setToolTip(shown != full ? full : QString());
}

bool QtPanelWindow::eventFilter(QObject* watched, QEvent* event) {
  // The contents asked for a new size (a language, a font, a summary): fit them again, once.
  if (watched == content_ && event->type() == QEvent::LayoutRequest) ScheduleFit();
  return QWidget::eventFilter(watched, event);
}

bool QtPanelWindow::event(QEvent* event) {
  // The same for the status line and the footer, which lie outside the contents.
  if (event->type() == QEvent::LayoutRequest) ScheduleFit();
  return QWidget::event(event);
}

void QtPanelWindow::ScheduleFit() {
  if (fit_pending_) return;
  fit_pending_ = true;
  QTimer::singleShot(0, this, [this] { FitToScreen(); });
}

void QtPanelWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ShortenNotice();
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
    // An empty status line still has a name for a screen reader; otherwise its text is the name.
    if (label == status_) status_->setAccessibleName(ToQt(text).trimmed().isEmpty() ? status_name_ : QString());
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(ToQt(text));
    // The captions end in a blank for their look; a screen reader reads the words alone.
    button->setAccessibleName(ToQt(text).trimmed());
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(ToQt(text));
  } else if (widget == summary_) {
    summary_->setPlainText(PlainLines(text));
    FitSummary();
  }
}

void QtPanelWindow::SetControlEnabled(int control, bool enabled) {
  QWidget* widget = Control(control);
  if (widget == nullptr) return;
  widget->setEnabled(enabled);
  // The first choice to make takes the keyboard as soon as it can (the list is filled then), and
  // shows it: a keyboard user must see where the focus is before pressing a key.
  if (widget == drive_list_ && enabled && !drive_list_focused_) {
    drive_list_focused_ = true;
    drive_list_->setFocus(Qt::OtherFocusReason);
    setAttribute(Qt::WA_KeyboardFocusChange);
  }
}

void QtPanelWindow::SetControlTooltip(int control, const std::string& text) {
  if (QWidget* widget = Control(control)) widget->setToolTip(ToQt(text));
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
    button->setAccessibleName(ToQt(item.text));
    button->setProperty("command", item.command);
    const int command = item.command;
    connect(button, &QToolButton::clicked, this, [this, command] { Command(command); });
    footer_->insertWidget(position++, button);
    footer_buttons_.push_back(button);
  }
  ShortenNotice();
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
  auto* model = qobject_cast<QStandardItemModel*>(drive_list_->model());
  for (const DriveItem& item : items) {
    const int index = drive_list_->count();
    drive_list_->addItem(item.folder ? ui::ThemeIcon("folder") : ui::DriveIcon(item.kind), ToQt(item.text));
    drive_list_->setItemData(index, ToQt(item.tooltip), Qt::ToolTipRole);
    // Greyed: the list skips it, and its tooltip says why.
    if (!item.enabled && model != nullptr) model->item(index)->setEnabled(false);
  }
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

std::optional<std::string> QtPanelWindow::AskFolderName(const std::string& start) {
  const QString chosen = QFileDialog::getExistingDirectory(this, kChooseFolder, ToQt(start));
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
  if (first_show_) {
    first_show_ = false;
    if (QWindow* window = windowHandle()) connect(window, &QWindow::screenChanged, this, [this] { FitToScreen(); });
  }
  FitToScreen();
}

void QtPanelWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::StyleChange || event->type() == QEvent::ApplicationFontChange) ApplyFonts();
}

}  // namespace korvanel::panel
