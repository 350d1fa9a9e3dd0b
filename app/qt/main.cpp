// korvanel: the benchmark panel. The application's event loop stands in for the hidden main
// window: it opens the panel at start and the program ends with the code the panel ends with.

#include <QApplication>
#include <clocale>

#include "ui/panel/desktop.h"
#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "ui/qt/qt_panel_window.h"
#include "app/qt/stop_signals.h"
#include "drives/drive_system.h"
#include "lang/languages.h"
#include "platform/clock.h"
#include "platform/os_version.h"
#include "platform/storage.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
  using namespace korvanel;
  QApplication application(argc, argv);
  // Qt takes the user's locale for the C library too; numbers are printed and read back with "."
  // inside the program, and the user's format is applied where they are shown.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Korvanel");
  QApplication::setDesktopFileName("korvanel");
  QApplication::setQuitOnLastWindowClosed(false);

  LocateSettingsFile();
  LoadLanguageTable();
  ChooseDefaultLanguage();

  panel::QtPanelWindow window;
  panel::SystemDesktop desktop;
  const auto drive_system = CreateDriveSystem();
  panel::Panel panel({window, window, desktop, *drive_system, platform::SystemStorage(), platform::SystemClock(),
                      platform::CurrentSystemVersion()});
  window.Attach(&panel);
  // A polite kill or a hang-up closes the panel the way Escape does, so no test file stays behind.
  WatchStopSignals([&panel] { panel.OnCommand(panel::kCommandCancel); });
  panel.Open();
  window.show();
  return QApplication::exec();
}
