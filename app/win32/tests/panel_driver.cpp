// panel_driver.exe SCENARIO KORVANEL_EXE [ARGS]: starts the real korvanel.exe and drives its window
// the way Windows would, with window messages (WM_COMMAND, BM_CLICK, CB_SETCURSEL with
// CBN_SELCHANGE, WM_KEYDOWN), and reads texts and states back (WM_GETTEXT, IsWindowEnabled). Run
// under Wine on an X server by windows_panel_test.sh beside it, which checks what it leaves behind.
//
//   texts EXE                  English texts, the language menu to German and back, volume labels,
//                              a translation written and loaded again
//   run EXE DRIVE_INDEX        a single test, a stopped and a full quick run, copy, pictures, the
//                              menus' commands
//   escape EXE DRIVE_INDEX     Escape during a full run: the exit code must be 4660
//   resources EXE VERSION      the manifest and the version information in the program file
//   show EXE DRIVE_INDEX SECONDS   a full quick run left on screen, for pictures of the panel
//
// Prints "ok - ..." or "FAIL - ..." per check and "key=value" facts for the script; exits 1 on a
// failed check.

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "lang/languages.h"
#include "lang/text_ids.h"
#include "platform/windows/wide_text.h"
#include "results/value_texts.h"
#include "ui/panel/panel_ids.h"

namespace {

using namespace korvanel;
using namespace korvanel::panel;
using platform::Utf8FromWide;
using platform::WideFromUtf8;

int g_failures = 0;

void Check(bool passed, const std::string& what) {
  std::printf("%s - %s\n", passed ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!passed) ++g_failures;
}

bool WaitFor(const std::function<bool()>& condition, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

std::string ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return Utf8FromWide(name);
}

// The text of a window of the other process, through WM_GETTEXT (which Windows carries across).
std::string WindowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return Utf8FromWide(text);
}

// The started korvanel.exe and its panel.
class Program {
 public:
  explicit Program(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
      Check(false, "korvanel.exe starts");
      return;
    }
    CloseHandle(process_.hThread);
    WaitFor([this] { return (panel_ = FindPanel()) != nullptr; }, 60);
    Check(panel_ != nullptr, "the panel opens");
  }
  ~Program() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
  }

  HWND panel() const { return panel_; }
  HWND Item(int id) const { return GetDlgItem(panel_, id); }
  std::string Text(int id) const { return WindowText(Item(id)); }
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

  void Command(int id) const { PostMessageW(panel_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Click(int id) const { SendMessageTimeoutW(Item(id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, nullptr); }
  void ChooseInList(int id, int index) const {
    SendMessageTimeoutW(Item(id), CB_SETCURSEL, index, 0, SMTO_NORMAL, 5000, nullptr);
    PostMessageW(panel_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
  }
  int ListCount(int id) const { return static_cast<int>(SendMessageW(Item(id), CB_GETCOUNT, 0, 0)); }
  std::string ListText(int id, int index) const {
    wchar_t text[256] = {};
    SendMessageW(Item(id), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return Utf8FromWide(text);
  }

  // Idle: the drive list filled, Start reads "Start " and the test buttons can be used.
  bool WaitUntilIdle(int seconds) const {
    return WaitFor([this] { return Enabled(kCommandSequential) && Enabled(kCommandDriveList); }, seconds);
  }
  // The exit code, once the program has ended; -1 while it runs after `seconds`.
  long WaitForExit(int seconds) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(seconds) * 1000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  // A popup or dialog of the program other than the panel: a menu ("#32768") or a box ("#32770").
  HWND FindWindowOfClass(const char* class_name) const {
    struct Search {
      DWORD process;
      HWND panel;
      const char* class_name;
      HWND found;
    } search{process_.dwProcessId, panel_, class_name, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD process = 0;
          GetWindowThreadProcessId(window, &process);
          if (process != s.process || window == s.panel || !IsWindowVisible(window)) return TRUE;
          if (ClassName(window) != s.class_name) return TRUE;
          s.found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

 private:
  HWND FindPanel() const {
    HWND found = nullptr;
    struct Search {
      DWORD process;
      HWND* found;
    } search{process_.dwProcessId, &found};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          DWORD process = 0;
          GetWindowThreadProcessId(window, &process);
          if (process != s.process || !IsWindowVisible(window) || GetDlgItem(window, kCommandSequential) == nullptr) {
            return TRUE;
          }
          *s.found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return found;
  }

  PROCESS_INFORMATION process_{};
  HWND panel_ = nullptr;
};

// Types `path` into the file dialog the program shows and confirms it.
bool AnswerFileDialog(const Program& program, const std::wstring& path) {
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = program.FindWindowOfClass("#32770")) != nullptr; }, 20)) return false;
  // The file name field: the edit box (edt1) or the combo box (cmb13).
  HWND name = GetDlgItem(dialog, 0x480);
  if (name == nullptr) name = GetDlgItem(dialog, 0x47c);
  if (name == nullptr) return false;
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, nullptr);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return WaitFor([&] { return !IsWindow(dialog); }, 20);
}

// The texts the set-up gives in language `language`.
void CheckSetUpTexts(const Program& program, int language, const std::string& name) {
  SetCurrentLanguage(language);
  Check(WindowText(program.panel()).rfind(GetSpecialText(kProgramNameText) + " - OS:", 0) == 0,
        name + ": the title");
  Check(program.Text(kCommandSequential) == GetText(kSequentialText),
        name + ": Sequential button (" + program.Text(kCommandSequential) + ")");
  Check(program.Text(kCommandAccessTime) == GetText(kAccessTimeText), name + ": Access time button");
  Check(program.Text(kControlReadFrame) == GetText(kReadText) &&
            program.Text(kControlWriteFrame) == GetText(kWriteText) &&
            program.Text(kControlRatingFrame) == GetText(kBenchmarkText),
        name + ": frame titles (" + program.Text(kControlReadFrame) + ", " + program.Text(kControlWriteFrame) + ")");
  Check(program.Text(kCommandStart) == GetText(kStartText), name + ": Start button");
  bool sizes = program.ListCount(kCommandSizeList) == 4;
  for (int index = 0; sizes && index < 4; ++index) {
    sizes = program.ListText(kCommandSizeList, index) == GetText(kQuickTestText + index);
  }
  Check(sizes, name + ": the four test lengths (" + program.ListText(kCommandSizeList, 0) + ")");
}

// Opens the language menu at the footer's "# LNG" and chooses the item `steps` down from the top
// (negative: up from the bottom).
bool ChooseLanguageByKeys(const Program& program, int steps) {
  program.Command(kCommandLanguage);
  HWND menu = nullptr;
  if (!WaitFor([&] { return (menu = program.FindWindowOfClass("#32768")) != nullptr; }, 10)) return false;
  for (int step = 0; step < std::abs(steps); ++step) PostMessageW(menu, WM_KEYDOWN, steps > 0 ? VK_DOWN : VK_UP, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return WaitFor([&] { return program.FindWindowOfClass("#32768") == nullptr; }, 10);
}

int Texts(const std::wstring& exe) {
  Program program(exe);
  if (program.panel() == nullptr) return 1;
  Check(program.WaitUntilIdle(60), "the drive refresh ends and the test buttons are enabled");
  CheckSetUpTexts(program, 1, "English");

  // German is the menu's first language; the current one (English) is checked and cannot be chosen.
  Check(ChooseLanguageByKeys(program, 1), "the language menu opens at \"# LNG\" and German is chosen");
  Check(WaitFor([&] { return program.Text(kCommandStart) != "Start "; }, 10), "the texts change");
  CheckSetUpTexts(program, 0, "German");
  std::printf("german_title=%s\n", WindowText(program.panel()).c_str());

  program.Command(kCommandToggleVolumeLabel);
  Check(program.WaitUntilIdle(60), "hiding the volume labels refreshes the drive list");

  Check(ChooseLanguageByKeys(program, 2), "the language menu chooses English again");
  Check(WaitFor([&] { return program.Text(kCommandStart) == "Start "; }, 10), "English texts are back");

  // "Translate" writes the English texts (and opens them); "Load from File (Unicode)" reads them back.
  Check(ChooseLanguageByKeys(program, -2), "the language menu's \"Translate\"");
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring exported =
      std::wstring(temp) + L"Korvanel\\translate_" + WideFromUtf8(GetSpecialText(kProgramNameText)) + L".txt";
  std::wstring name = exported;
  for (wchar_t& c : name) c = c == L' ' ? L'_' : c;
  Check(WaitFor([&] { return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10),
        "the translation file is written");
  Check(ChooseLanguageByKeys(program, -1), "the language menu's \"Load from File (Unicode)\"");
  Check(AnswerFileDialog(program, name), "the open dialog takes the translation file");
  HWND box = nullptr;
  WaitFor([&] { return (box = program.FindWindowOfClass("#32770")) != nullptr; }, 10);
  const std::string report = box != nullptr ? WindowText(GetDlgItem(box, 0xFFFF)) : std::string();
  Check(report.rfind("100 %", 0) == 0, "loading it reports 100 % (" + report + ")");
  if (box != nullptr) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  SetCurrentLanguage(1);
  Check(WaitFor([&] { return program.FindWindowOfClass("#32770") == nullptr; }, 10) &&
            program.Text(kCommandSequential) == GetText(kSequentialText),
        "the texts now come from the file");

  PostMessageW(program.panel(), WM_KEYDOWN, VK_ESCAPE, 0);
  const long code = program.WaitForExit(30);
  Check(code == 0, "Escape while idle ends the program with 0 (" + std::to_string(code) + ")");
  return g_failures > 0;
}

bool StatusShows(const Program& program, int text) {
  return program.Text(kControlStatus).find(GetText(text)) != std::string::npos;
}

bool ValuesMeasured(const Program& program, std::initializer_list<int> controls) {
  const ValueTexts templates = TemplateValueTexts();
  for (int control : controls) {
    const std::string text = program.Text(control);
    for (const ControlText& shown : InRefreshOrder(templates)) {
      if (shown.control_id == control && shown.text == text) return false;
    }
    if (text.empty() || text == "-") return false;
  }
  return true;
}

std::string Clipboard() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Utf8FromWide(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// Saves the picture through the panel's save dialog under `path`.
bool SavePictureAs(const Program& program, const std::wstring& path) {
  program.Command(kCommandScreenshotToFile);
  return AnswerFileDialog(program, path);
}

int Run(const std::wstring& exe, int drive, const std::wstring& picture) {
  Program program(exe);
  if (program.panel() == nullptr) return 1;
  Check(program.WaitUntilIdle(60), "the panel is idle");
  program.ChooseInList(kCommandDriveList, drive);
  program.ChooseInList(kCommandSizeList, 0);
  Check(WaitFor([&] { return program.Text(kControlSummary).find(GetText(kInitializeText)) == std::string::npos; }, 10),
        "the drive is chosen");

  program.Click(kCommandSequential);
  Check(WaitFor([&] { return !program.Enabled(kCommandSequential); }, 10), "a single test starts: the buttons are disabled");
  Check(WaitFor([&] { return program.Text(kCommandStart) == GetText(kStopText); }, 10),
        "Start reads Stop while it runs");
  Check(program.WaitUntilIdle(120), "the single test ends");
  Check(ValuesMeasured(program, {kSeqReadControl, kSeqWriteControl}), "sequential read and write are measured (" +
                                                                         program.Text(kSeqReadControl) + ", " +
                                                                         program.Text(kSeqWriteControl) + ")");

  // Stop: Start, which reads "Stop " during the run, ends it after the pass that runs.
  program.Click(kCommandStart);
  Check(WaitFor([&] { return StatusShows(program, kSequentialReadText); }, 60),
        "a full run reaches its first pass");
  program.Click(kCommandStart);
  Check(program.WaitUntilIdle(60), "Stop ends the run");

  program.Click(kCommandStart);
  Check(WaitFor([&] { return !program.Enabled(kCommandSequential); }, 10), "the full run starts");
  Check(program.WaitUntilIdle(300), "the full run ends");
  Check(ValuesMeasured(program, {kSeqReadControl, kSeqWriteControl, kRnd4ReadControl, kRnd4WriteControl,
                                 kRnd512ReadControl, kRnd512WriteControl, kQdReadControl, kQdWriteControl,
                                 kAccessReadControl, kAccessWriteControl, kReadRatingControl, kWriteRatingControl,
                                 kTotalRatingControl}),
        "every value and rating is measured (total " + program.Text(kTotalRatingControl) + ")");

  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  program.Command(kCommandCopyResults);
  Check(WaitFor([] { return Clipboard().find("MB/s") != std::string::npos; }, 10), "Ctrl+C's command copies the results");
  Check(Clipboard().find(program.Text(kTotalRatingControl)) != std::string::npos, "with the total rating");

  RECT outer{};
  GetWindowRect(program.panel(), &outer);
  std::printf("panel_size=%ldx%ld\n", outer.right - outer.left, outer.bottom - outer.top);
  Check(SavePictureAs(program, picture), "the save dialog takes the picture's name");
  program.Command(kCommandScreenshotToPaint);
  // Everything the menus start: the script reads what the shell was asked to start.
  for (int command : {kCommandTaskManager, kCommandSystemSettings, kCommandSystemInformation, kCommandOptimizeDrive,
                      kCommandComputerManagement, kCommandDiskManagement, kCommandSettingsFile, kCommandFaq,
                      kCommandHomepage, kCommandDonate, kCommandNotice, kCommandCompare}) {
    program.Command(command);
  }
  std::this_thread::sleep_for(std::chrono::seconds(3));
  Check(program.FindWindowOfClass("#32770") == nullptr, "no error box came up");
  program.Command(kCommandExit);
  const long code = program.WaitForExit(30);
  Check(code == 0, "Exit ends the program with 0 (" + std::to_string(code) + ")");
  return g_failures > 0;
}

int Escape(const std::wstring& exe, int drive) {
  Program program(exe);
  if (program.panel() == nullptr) return 1;
  Check(program.WaitUntilIdle(60), "the panel is idle");
  program.ChooseInList(kCommandDriveList, drive);
  program.ChooseInList(kCommandSizeList, 0);
  program.Click(kCommandStart);
  // Once the test file is written and the first pass measures, Escape stops the run.
  Check(WaitFor([&] { return StatusShows(program, kSequentialReadText); }, 60),
        "the run reaches its first pass");
  PostMessageW(program.panel(), WM_KEYDOWN, VK_ESCAPE, 0);
  const long code = program.WaitForExit(60);
  Check(code == 4660, "Escape during a run ends the program with 4660 (" + std::to_string(code) + ")");
  return g_failures > 0;
}

// The program file's own resources: the manifest Windows reads before it starts the program, and
// the version information Explorer shows, which must be the project's version.
int Resources(const std::wstring& exe, const std::string& version) {
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  Check(module != nullptr, "korvanel.exe's resources can be read");
  if (module == nullptr) return 1;
  std::string manifest;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
    if (HGLOBAL loaded = LoadResource(module, found)) {
      manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    }
  }
  FreeLibrary(module);
  Check(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
            manifest.find("version=\"6.0.0.0\"") != std::string::npos,
        "the manifest asks for common controls 6");
  Check(manifest.find("PerMonitorV2") != std::string::npos, "the manifest declares per-monitor v2 DPI awareness");
  Check(manifest.find("<dpi2016:longPathAware>true</dpi2016:longPathAware>") != std::string::npos,
        "the manifest declares long paths");

  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  std::string block(size, '\0');
  wchar_t* product = nullptr;
  UINT length = 0;
  const bool read = size != 0 && GetFileVersionInfoW(exe.c_str(), 0, size, block.data()) &&
                    VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductVersion",
                                   reinterpret_cast<void**>(&product), &length);
  const std::string found = read ? Utf8FromWide(product) : std::string();
  Check(found == version, "the version information is the project's version (" + found + ")");
  return g_failures > 0;
}

// A full quick run, then the panel stays on screen for `seconds` to be photographed.
int Show(const std::wstring& exe, int drive, int seconds) {
  Program program(exe);
  if (program.panel() == nullptr) return 1;
  program.WaitUntilIdle(60);
  program.ChooseInList(kCommandDriveList, drive);
  program.ChooseInList(kCommandSizeList, 0);
  program.Click(kCommandStart);
  WaitFor([&] { return !program.Enabled(kCommandSequential); }, 10);
  program.WaitUntilIdle(300);
  std::printf("shown\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  program.Command(kCommandExit);
  program.WaitForExit(30);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LoadLanguageTable();
  if (argc < 3) {
    std::fprintf(stderr, "usage: panel_driver texts|run|escape KORVANEL_EXE [DRIVE_INDEX [PICTURE]]\n");
    return 2;
  }
  const std::wstring scenario = argv[1];
  const std::wstring exe = argv[2];
  const int drive = argc > 3 ? _wtoi(argv[3]) : 0;
  if (scenario == L"texts") return Texts(exe);
  if (scenario == L"run" && argc > 4) return Run(exe, drive, argv[4]);
  if (scenario == L"escape") return Escape(exe, drive);
  if (scenario == L"resources" && argc > 3) return Resources(exe, Utf8FromWide(argv[3]));
  if (scenario == L"show") return Show(exe, drive, argc > 4 ? _wtoi(argv[4]) : 10);
  std::fprintf(stderr, "panel_driver: unknown scenario\n");
  return 2;
}
