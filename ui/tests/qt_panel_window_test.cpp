// The Qt window over the panel's logic, offscreen: what it shows after set-up and a language
// change, its menus and keys, the pages it hands to the desktop (recorded, never opened) and its
// picture. The drives are scripted and the engine runs on a fake disk (engine/tests).
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardItemModel>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <memory>

#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "ui/qt/qt_panel_window.h"
#include "ui/tests/fake_panel_view.h"
#include "ui/tests/two_drives.h"
#include "common/testing/scratch.h"
#include "korvanel_version.h"
#include "engine/tests/fake_system.h"
#include "lang/languages.h"
#include "lang/text_ids.h"
#include "results/finish_time.h"
#include "settings/settings.h"
#include "ui/qt/command_bar.h"

namespace korvanel::panel {

using testing::RecordingDesktop;
using testing::TwoDrives;

namespace {

constexpr int kEnglish = 1;
constexpr int kGerman = 0;

QString TextOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  return {};
}

// The tool buttons of ours inside `widget`; the menu bar's own overflow button is not one.
int OwnToolButtons(QWidget* widget) {
  int count = 0;
  for (QToolButton* button : widget->findChildren<QToolButton*>()) count += button->objectName() != "qt_menubar_ext_button";
  return count;
}

QStringList MenuTexts(QMenu* menu) {
  QStringList texts;
  for (QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
  return texts;
}

}  // namespace

class QtPanelWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<korvanel::testing::ScratchDir> scratch_;
  std::unique_ptr<korvanel::testing::FakeSystem> sys_;
  std::unique_ptr<RecordingDesktop> desktop_;
  std::unique_ptr<TwoDrives> drives_;
  std::unique_ptr<QtPanelWindow> window_;
  std::unique_ptr<Panel> panel_;

  QWidget* Control(int id) { return window_->Control(id); }
  QMenuBar* Bar() { return window_->command_bar()->bar(); }

 private slots:
  void init() {
    scratch_ = std::make_unique<korvanel::testing::ScratchDir>();
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(scratch_->path()));
    SetSettingsPath(*scratch_ / "Korvanel.ini");
    QVERIFY(LoadLanguageTable());
    QVERIFY(SelectLanguage(kEnglish));
    sys_ = std::make_unique<korvanel::testing::FakeSystem>();
    desktop_ = std::make_unique<RecordingDesktop>();
    drives_ = std::make_unique<TwoDrives>();
    window_ = std::make_unique<QtPanelWindow>();
    panel_ = std::make_unique<Panel>(
        PanelServices{*window_, *window_, *desktop_, *drives_, *sys_, *sys_, {6, 1, 0, {}}});
    window_->Attach(panel_.get());
    panel_->Open();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    QTRY_COMPARE(panel_->State(), PanelState::kIdle);
  }

  void cleanup() {
    panel_.reset();
    window_.reset();
    SetSettingsPath("");
  }

  void showsTheSetUpTextsAndTheFirstDrive() {
    QCOMPARE(window_->windowTitle(), QString("Korvanel " KORVANEL_VERSION " - OS:6.1.0"));
    QCOMPARE(TextOf(Control(kCommandSequential)), QString("Sequential"));
    QCOMPARE(TextOf(Control(kCommandAccessTime)), QString("Access time "));
    QCOMPARE(TextOf(Control(kCommandStart)), QString("Start "));
    QCOMPARE(TextOf(Control(kControlReadFrame)), QString("Read"));
    QCOMPARE(TextOf(Control(kControlRatingFrame)), QString("Benchmark "));
    QCOMPARE(TextOf(Control(kSeqReadControl)), QString("0.00 MB"));
    auto* drives = static_cast<QComboBox*>(Control(kCommandDriveList));
    QCOMPARE(drives->count(), 3);
    QCOMPARE(drives->itemText(2), QString("Choose folder..."));
    QCOMPARE(drives->currentText(), QString("/data Disk A"));
    QVERIFY(!drives->itemIcon(1).isNull());
    auto* sizes = static_cast<QComboBox*>(Control(kCommandSizeList));
    QCOMPARE(sizes->count(), 4);
    QCOMPARE(sizes->currentIndex(), 1);
    QCOMPARE(window_->command_bar()->strip_button()->text(), QString("Donate"));
    QVERIFY(window_->FooterButton(kCommandLanguage) != nullptr);
  }

  void aLanguageChangeRewritesEveryTextOnceAndKeepsTheSize() {
    auto* sizes = static_cast<QComboBox*>(Control(kCommandSizeList));
    sizes->setCurrentIndex(3);
    QVERIFY(SelectLanguage(kGerman));
    panel_->SetUp();
    panel_->SetUp();
    QCOMPARE(TextOf(Control(kControlReadFrame)), QString("Lesen"));
    QCOMPARE(TextOf(Control(kControlWriteFrame)), QString("Schreiben"));
    QCOMPARE(Bar()->actions().at(1)->text(), QString("&System"));
    QCOMPARE(window_->command_bar()->strip_button()->text(), QString("Spenden"));
    QCOMPARE(sizes->count(), 4);
    QCOMPARE(sizes->currentIndex(), 3);
    QCOMPARE(sizes->itemText(0), QString::fromStdString(GetText(kQuickTestText)));
    // One Donate button and two footer buttons however often the set-up ran.
    QCOMPARE(OwnToolButtons(Bar()->parentWidget()), 1);
    QCOMPARE(OwnToolButtons(window_.get()), 3);
    QCOMPARE(Bar()->actions().count(), 2);

    QVERIFY(SelectLanguage(kEnglish));
    panel_->SetUp();
    QCOMPARE(TextOf(Control(kControlReadFrame)), QString("Read"));
    QCOMPARE(window_->command_bar()->strip_button()->text(), QString("Donate"));
  }

  void theMenusHoldTheirCommandsAndTheCheckMarkFollowsTheSetting() {
    QCOMPARE(Bar()->actions().count(), 2);
    QMenu* program = Bar()->actions().at(0)->menu();
    QCOMPARE(MenuTexts(program), (QStringList{"Screenshot to File", "Screenshot to MS-Paint", "-", "FAQ",
                                              "Comparing the results on korvanel.example", "Korvanel Homepage", "-",
                                              "Don't show volume label", "-", "Info", "-", "E&xit"}));
    for (QAction* action : program->actions()) {
      if (!action->isSeparator() && action->data().toInt() != kCommandToggleVolumeLabel) {
        QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
      }
    }
    QAction* volume_label = window_->command_bar()->Action(kCommandToggleVolumeLabel);
    QVERIFY(volume_label->isCheckable());
    QVERIFY(!volume_label->isChecked());

    volume_label->trigger();  // what a click does
    QCOMPARE(ReadSettingInt("no_vol_label", 0), 1);
    QTRY_COMPARE(panel_->State(), PanelState::kIdle);
    emit program->aboutToShow();
    QVERIFY(volume_label->isChecked());
    volume_label->trigger();
    QTRY_COMPARE(panel_->State(), PanelState::kIdle);
    emit program->aboutToShow();
    QVERIFY(!volume_label->isChecked());
  }

  void keysOpenWrapAndCloseThePopups() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_K, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QCOMPARE(QApplication::activePopupWidget(), Bar()->actions().at(0)->menu());
    // Left from the first popup wraps to the last.
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Left);
    QTRY_COMPARE(QApplication::activePopupWidget(), Bar()->actions().at(1)->menu());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    QTRY_COMPARE(QApplication::activePopupWidget(), Bar()->actions().at(0)->menu());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    QVERIFY(!panel_->ExitCode());
  }

  void pagesGoToTheDesktopWithTheirExactAddresses() {
    window_->command_bar()->strip_button()->click();
    window_->FooterButton(kCommandNotice)->click();
    window_->command_bar()->Action(kCommandFaq)->trigger();
    window_->command_bar()->Action(kCommandHomepage)->trigger();
    // Enter while a list has the focus is the panel's Enter: the donation page.
    Control(kCommandDriveList)->setFocus();
    QTest::keyClick(window_.get(), Qt::Key_Return);
    const std::string donate =
        "https://korvanel.example/?paypal&item_name=Freeware Quenlidart Korvanel&Program=Korvanel";
    QCOMPARE(desktop_->pages, (std::vector<std::string>{donate, "https://korvanel.example/?Microsoft/Korvanel/Thanks",
                                                         "https://korvanel.example/?seite=faq-Korvanel&faq=0",
                                                         "https://korvanel.example/?Microsoft/Korvanel", donate}));
  }

  void enterOnAButtonPressesIt() {
    auto* button = static_cast<QPushButton*>(Control(kCommandSequential));
    QSignalSpy clicked(button, &QPushButton::clicked);
    button->setFocus();
    QTest::keyClick(window_.get(), Qt::Key_Return);
    QTRY_COMPARE(clicked.count(), 1);
    QVERIFY(desktop_->pages.empty());
    QCOMPARE(panel_->State(), PanelState::kRunning);
    // Start reads Stop now; the run ends after its pass and removes its file.
    static_cast<QPushButton*>(Control(kCommandStart))->click();
    QTRY_COMPARE_WITH_TIMEOUT(panel_->State(), PanelState::kIdle, 30000);
    QVERIFY(sys_->Files().empty());
  }

  // Tab walks round every control a user works with, the Donate button and the footer included.
  void tabReachesEveryControl() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    Control(kCommandDriveList)->setFocus();
    QSet<QWidget*> reached;
    for (int press = 0; press < 40; ++press) {
      reached.insert(QApplication::focusWidget());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (int id : {kCommandDriveList, kCommandSizeList, kCommandStart, kCommandSequential, kCommandRandom4K,
                   kCommandRandom512K, kCommandQueued4K, kCommandAccessTime}) {
      QVERIFY2(reached.contains(Control(id)), qPrintable(QString::number(id)));
    }
    QVERIFY(reached.contains(window_->command_bar()->strip_button()));
    QVERIFY(reached.contains(window_->FooterButton(kCommandNotice)));
    QVERIFY(reached.contains(window_->FooterButton(kCommandLanguage)));
  }

  void escapeWhenIdleEndsWithZero() {
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QCOMPARE(panel_->ExitCode(), std::optional<int>(kExitNormal));
    QVERIFY(window_->isHidden());
  }

  void theCloseBoxIsEscape() {
    window_->close();
    QCOMPARE(panel_->ExitCode(), std::optional<int>(kExitNormal));
  }

  void everyValueTellsAScreenReaderWhatItIs() {
    QCOMPARE(Control(kSeqReadControl)->accessibleDescription(), QString("Sequential read"));
    QCOMPARE(Control(kRnd4WriteControl)->accessibleDescription(), QString("4K write"));
    QCOMPARE(Control(kReadRatingControl)->accessibleDescription(), QString("Read rating"));
    QCOMPARE(Control(kControlStatus)->accessibleDescription(), QString("Status"));
    QCOMPARE(Control(kFinishTimeControl)->accessibleDescription(), QString("Date and time of the last run"));
  }

  // What a screen reader says of each control: the lists by what they choose, the buttons by their
  // words without the captions' trailing blanks and by what they measure, the empty status line.
  void screenReadersHearNamesDescriptionsAndTooltips() {
    const auto name = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); };
    const auto label = [](QWidget* widget) {
      const auto labels = QAccessible::queryAccessibleInterface(widget)->relations(QAccessible::Label);
      return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    };
    QCOMPARE(label(Control(kCommandDriveList)), QString("Drive"));
    QCOMPARE(label(Control(kCommandSizeList)), QString("Test length"));
    QCOMPARE(name(Control(kCommandAccessTime)), QString("Access time"));
    QCOMPARE(name(Control(kCommandStart)), QString("Start"));
    QCOMPARE(Control(kCommandQueued4K)->accessibleDescription(),
             QString("Random 4 KiB reads and writes with 64 requests in flight"));
    QCOMPARE(name(Control(kControlStatus)), QString("Status"));
    // The first control has the keyboard and shows it.
    QCOMPARE(window_->focusWidget(), Control(kCommandDriveList));
    QVERIFY(window_->testAttribute(Qt::WA_KeyboardFocusChange));
    // Tooltips give the unit, and after a run the requests per second of the 4K values.
    QVERIFY(Control(kSeqReadControl)->toolTip().contains("KiB per millisecond"));
    static_cast<QPushButton*>(Control(kCommandRandom4K))->click();
    QTRY_COMPARE_WITH_TIMEOUT(panel_->State(), PanelState::kIdle, 30000);
    QVERIFY2(Control(kRnd4ReadControl)->toolTip().contains(" IOPS (4 KiB requests per second)"),
             qPrintable(Control(kRnd4ReadControl)->toolTip()));
    QVERIFY(!Control(kSeqReadControl)->toolTip().contains("IOPS"));
    QCOMPARE(name(Control(kControlStatus)), QString("Status"));
  }

  // Orca announces a window by its role and title, and finds a button only where the accessibility
  // tree has it.
  void theWindowIsAnnouncedAsOneAndHoldsTheDonateButton() {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(window_.get());
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), window_->windowTitle());
    const std::function<QAccessibleInterface*(QAccessibleInterface*, QObject*)> find =
        [&](QAccessibleInterface* node, QObject* wanted) -> QAccessibleInterface* {
      for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child == nullptr) continue;
        if (child->object() == wanted) return child;
        if (QAccessibleInterface* below = find(child, wanted)) return below;
      }
      return nullptr;
    };
    QAccessibleInterface* donate = find(window, window_->command_bar()->strip_button());
    QVERIFY(donate != nullptr);
    QCOMPARE(donate->text(QAccessible::Name), QString("Donate"));
    QVERIFY(donate->actionInterface() != nullptr);
  }

  void aDriveWithoutAPlaceIsGreyedWithItsReason() {
    drives_->unwritable = {"/data", "/data/home/anna", "/data/tmp"};
    window_->command_bar()->Action(kCommandToggleVolumeLabel)->trigger();
    QTRY_COMPARE(panel_->State(), PanelState::kIdle);
    auto* drives = static_cast<QComboBox*>(Control(kCommandDriveList));
    auto* model = static_cast<QStandardItemModel*>(drives->model());
    QVERIFY(!model->item(0)->isEnabled());
    QVERIFY(model->item(1)->isEnabled());
    QVERIFY(drives->itemData(0, Qt::ToolTipRole).toString().startsWith("/data: Permission denied"));
    QCOMPARE(drives->currentIndex(), 1);
    QCOMPARE(drives->toolTip(), QString("Test folder: /media/stick"));
    QVERIFY(!drives->itemIcon(2).isNull());
  }

  // A larger desktop font in German on an 800 x 600 screen (the offscreen screen's size): the
  // window stays on the screen, and the status line and the footer stay whole inside it.
  void aSmallScreenWithALargeFontKeepsTheFooterInView() {
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.5);
    QApplication::setFont(large);
    QVERIFY(SelectLanguage(kGerman));
    panel_->SetUp();
    QApplication::processEvents();
    QTRY_VERIFY(window_->height() > 0);
    QApplication::processEvents();
    const QRect screen = window_->screen()->availableGeometry();
    if (const QByteArray keep = qgetenv("KORVANEL_TEST_PICTURES"); !keep.isEmpty()) {
      window_->RenderImage().save(keep + "/small-screen-de.png");
    }
    const auto restore = qScopeGuard([&] {
      QApplication::setFont(normal);
      SelectLanguage(kEnglish);
    });
    QCOMPARE(screen.size(), QSize(800, 600));
    QVERIFY2(window_->frameGeometry().height() <= screen.height(),
             qPrintable(QString("%1 > %2").arg(window_->frameGeometry().height()).arg(screen.height())));
    QVERIFY(window_->frameGeometry().width() <= screen.width());
    for (QWidget* part : {static_cast<QWidget*>(window_->FooterButton(kCommandLanguage)), Control(kControlStatus)}) {
      const QRect where(part->mapTo(window_.get(), QPoint(0, 0)), part->size());
      QVERIFY2(window_->rect().contains(where), qPrintable(QString("%1,%2 %3x%4").arg(where.x()).arg(where.y())
                                                               .arg(where.width()).arg(where.height())));
    }
  }

  void thePictureIsThePanelWithItsTitleAbove() {
    const QImage image = window_->RenderImage();
    const qreal ratio = image.devicePixelRatio();
    QCOMPARE(image.width(), qRound(window_->width() * ratio));
    QVERIFY(image.height() > qRound(window_->height() * ratio));
    // Not blank: the panel's own pixels vary.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
      for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
    }
    QVERIFY(colours.size() > 8);
    const std::string png = window_->RenderPng();
    QVERIFY(png.rfind("\x89PNG", 0) == 0);
  }

  void persianIsLaidOutRightToLeft() {
    QVERIFY(SelectLanguage(13));
    panel_->SetUp();
    QCOMPARE(window_->layoutDirection(), Qt::RightToLeft);
    QTRY_VERIFY(Control(kControlReadFrame)->mapTo(window_.get(), QPoint(0, 0)).x() >
            Control(kControlWriteFrame)->mapTo(window_.get(), QPoint(0, 0)).x());
    QVERIFY(SelectLanguage(kEnglish));
    panel_->SetUp();
    QCOMPARE(window_->layoutDirection(), Qt::LeftToRight);
  }

  // The panel takes every colour from the palette, so a dark theme's palette makes it dark and
  // readable. Set KORVANEL_TEST_PICTURES to a directory to keep the pictures for a look.
  void aDarkPaletteKeepsTheValuesReadable() {
    const QPalette light = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Base, QColor(0x1c, 0x1c, 0x1c));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, QColor(0xe6, 0xe6, 0xe6));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x6f, 0xb4));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    QApplication::setPalette(dark);
    QApplication::processEvents();
    const QImage image = window_->RenderImage();
    QApplication::setPalette(light);
    QApplication::processEvents();
    if (const QByteArray keep = qgetenv("KORVANEL_TEST_PICTURES"); !keep.isEmpty()) image.save(keep + "/dark.png");

    // Inside the first value: a dark background with light text on it.
    const qreal ratio = image.devicePixelRatio();
    const int title = image.height() / ratio - window_->height();
    const QRect value(Control(kSeqReadControl)->mapTo(window_.get(), QPoint(0, title)), Control(kSeqReadControl)->size());
    int dark_pixels = 0, light_pixels = 0;
    for (int y = value.top() + 3; y < value.bottom() - 3; ++y) {
      for (int x = value.left() + 3; x < value.right() - 3; ++x) {
        const int lightness = QColor(image.pixel(qRound(x * ratio), qRound(y * ratio))).lightness();
        dark_pixels += lightness < 60;
        light_pixels += lightness > 180;
      }
    }
    QVERIFY2(dark_pixels > light_pixels && light_pixels > 20,
             qPrintable(QString("dark %1, light %2").arg(dark_pixels).arg(light_pixels)));
  }

  void theValuesStandLevelWithTheButtons() {
    for (auto [value, button] : {std::pair{kSeqReadControl, kCommandSequential},
                                 std::pair{kAccessWriteControl, kCommandAccessTime}}) {
      const QRect label(Control(value)->mapTo(window_.get(), QPoint(0, 0)), Control(value)->size());
      const QRect push(Control(button)->mapTo(window_.get(), QPoint(0, 0)), Control(button)->size());
      QVERIFY2(std::abs(label.center().y() - push.center().y()) <= 2,
               qPrintable(QString("%1 vs %2").arg(label.center().y()).arg(push.center().y())));
    }
  }
};

}  // namespace korvanel::panel

QTEST_MAIN(korvanel::panel::QtPanelWindowTest)
#include "qt_panel_window_test.moc"
