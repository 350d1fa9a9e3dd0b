// The Windows view's own pieces, in this process under Wine: the language menu as Windows shows it,
// the menu bar built again and again, and the panel's picture. The whole window is driven from
// outside by app/win32/tests/windows_panel_test.sh.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lang/languages.h"
#include "lang/text_ids.h"
#include "platform/windows/wide_text.h"
#include "ui/panel/menu_model.h"
#include "ui/panel/panel_ids.h"
#include "ui/win32/command_bar.h"
#include "ui/win32/controls.h"
#include "ui/win32/folder_dialog.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/tooltips.h"
#include "ui/win32/window_picture.h"

namespace korvanel::win32 {
namespace {

struct ItemState {
  UINT id = 0;
  UINT type = 0;
  UINT state = 0;
  std::string text;
  ULONG_PTR data = 0;
};

ItemState ReadItem(HMENU menu, int position) {
  wchar_t text[256] = {};
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_DATA;
  info.dwTypeData = text;
  info.cch = 256;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return {};
  // Owner-drawn items have no string of the menu's own.
  return {info.wID, info.fType, info.fState, (info.fType & MFT_OWNERDRAW) ? "" : platform::Utf8FromWide(text),
          info.dwItemData};
}

class Win32ViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);
    LoadLanguageTable();
  }
  void SetUp() override {
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override { DestroyWindow(owner_); }
  HWND owner_ = nullptr;
};

TEST_F(Win32ViewTest, LanguageMenuChecksAndDisablesTheCurrentLanguageAndKeepsTheFileCommands) {
  SetCurrentLanguage(1);
  const UniqueMenu menu(MakePopupMenu(panel::BuildLanguageMenu()));
  const int count = GetMenuItemCount(menu.get());
  ASSERT_GE(count, 5);
  const ItemState german = ReadItem(menu.get(), 0);
  const ItemState english = ReadItem(menu.get(), 1);
  EXPECT_EQ(german.id, 10u);
  EXPECT_EQ(german.state & (MFS_CHECKED | MFS_GRAYED), 0u);
  EXPECT_EQ(english.id, 11u);
  EXPECT_TRUE(english.state & MFS_CHECKED);
  EXPECT_TRUE(english.state & MFS_GRAYED);
  // The second name and the percentage stand after the TAB, in the right-hand column.
  EXPECT_NE(english.text.find('\t'), std::string::npos);
  EXPECT_NE(english.text.find("100 %"), std::string::npos);
  EXPECT_TRUE(ReadItem(menu.get(), count - 3).type & MFT_SEPARATOR);
  EXPECT_EQ(ReadItem(menu.get(), count - 2).text, "Translate");
  EXPECT_EQ(ReadItem(menu.get(), count - 1).text, "Load from File (Unicode)");
}

TEST_F(Win32ViewTest, MenuBarBuiltAgainKeepsOneButtonPerMenuAndDrawsItsItemsWithTheirTextsForScreenReaders) {
  CommandBar bar(owner_);
  const panel::MenuBar model = panel::BuildMenuBar([](int) { return true; });
  for (int round = 0; round < 3; ++round) {
    bar.SetMenu(model, {});
    bar.SetStripButton("Donate", panel::kCommandDonate, nullptr);
  }
  EXPECT_EQ(SendMessageW(bar.toolbar(), TB_BUTTONCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(bar.strip(), TB_BUTTONCOUNT, 0, 0), 1);

  HMENU program = GetSubMenu(bar.menu(), 0);
  ASSERT_NE(program, nullptr);
  const ItemState first = ReadItem(program, 0);
  EXPECT_EQ(first.id, static_cast<UINT>(panel::kCommandScreenshotToFile));
  EXPECT_TRUE(first.type & MFT_OWNERDRAW);
  const auto* accessible = reinterpret_cast<const MSAAMENUINFO*>(first.data);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->dwMSAASignature, static_cast<DWORD>(MSAA_MENU_SIG));
  EXPECT_EQ(platform::Utf8FromWide(accessible->pszWText), GetText(kScreenshotToFileText));

  const auto volume_label_state = [&] { return GetMenuState(bar.menu(), panel::kCommandToggleVolumeLabel, MF_BYCOMMAND); };
  bar.SetChecked(panel::kCommandToggleVolumeLabel, true);
  EXPECT_TRUE(volume_label_state() & MF_CHECKED);
  bar.SetChecked(panel::kCommandToggleVolumeLabel, false);
  EXPECT_FALSE(volume_label_state() & MF_CHECKED);
}

// The popups the bar opened, in order, seen by the owner as WM_INITMENUPOPUP.
std::vector<HMENU> g_opened;
LRESULT CALLBACK RecordPopups(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message == WM_INITMENUPOPUP && HIWORD(lparam) == 0) g_opened.push_back(reinterpret_cast<HMENU>(wparam));
  return DefSubclassProc(window, message, wparam, lparam);
}

// Presses `key` in the open popup once it is there.
void PressInPopup(WPARAM key) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (HWND popup = FindWindowW(L"#32768", nullptr); popup != nullptr && IsWindowVisible(popup)) {
      PostMessageW(popup, WM_KEYDOWN, key, 0);
      return;
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

TEST_F(Win32ViewTest, AltLetterOpensAMenuLeftFromTheFirstOpensTheLastAndEscapeCloses) {
  CommandBar bar(owner_);
  bar.SetMenu(panel::BuildMenuBar([](int) { return true; }), {});
  bar.Layout(400, 96, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  ShowWindow(owner_, SW_SHOW);
  SetWindowSubclass(owner_, RecordPopups, 1, 0);
  g_opened.clear();
  // The keys go in from a timer: every popup runs its own loop until it closes.
  static int step = 0;
  step = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) {
    if (step < 2) PressInPopup(step++ == 0 ? VK_LEFT : VK_ESCAPE);
  });
  LRESULT answer = 0;
  ASSERT_TRUE(bar.OnMenuChar(L'k', &answer));  // "&Korvanel"
  EXPECT_EQ(HIWORD(answer), MNC_CLOSE);
  const DWORD deadline = GetTickCount() + 5000;
  MSG message;
  while (GetTickCount() < deadline && !(step == 2 && FindWindowW(L"#32768", nullptr) == nullptr)) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
  KillTimer(nullptr, timer);
  RemoveWindowSubclass(owner_, RecordPopups, 1);
  ASSERT_EQ(g_opened.size(), 2u);
  EXPECT_EQ(g_opened[0], GetSubMenu(bar.menu(), 0));
  EXPECT_EQ(g_opened[1], GetSubMenu(bar.menu(), 1));
}

TEST_F(Win32ViewTest, PictureIsTheWindowsOuterSize) {
  SetWindowPos(owner_, nullptr, 10, 10, 321, 123, SWP_NOZORDER | SWP_SHOWWINDOW);
  const std::string png = WindowPicturePng(owner_);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  const auto big_endian = [&](size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(big_endian(16), 321);
  EXPECT_EQ(big_endian(20), 123);
}

TEST_F(Win32ViewTest, TooltipsFollowTheirControlsAndAStaticValueLetsThePointerReachIt) {
  HWND value = CreateWindowExW(0, L"STATIC", L"0.00 MB/s", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, owner_, nullptr,
                               nullptr, nullptr);
  ControlTooltips tooltips;
  tooltips.Create(owner_);
  tooltips.Set(value, "Sequential read\n1 MB/s = 1 KiB per millisecond");
  EXPECT_EQ(tooltips.Text(value), "Sequential read\n1 MB/s = 1 KiB per millisecond");
  // Without SS_NOTIFY a static control passes the pointer on to its parent, and the tip never shows.
  EXPECT_TRUE(GetWindowLongW(value, GWL_STYLE) & SS_NOTIFY);
  tooltips.Set(value, "4K read: 2,400 IOPS");
  EXPECT_EQ(tooltips.Text(value), "4K read: 2,400 IOPS");
  tooltips.Set(value, "");
  EXPECT_EQ(tooltips.Text(value), "");
}

TEST_F(Win32ViewTest, DriveListKeepsEachItemsTooltipAndShowsAPlaceWithoutAccessAsLocked) {
  HWND combo = CreateWindowExW(0, WC_COMBOBOXEXW, nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 0, 200, 200,
                               owner_, nullptr, nullptr, nullptr);
  ASSERT_NE(combo, nullptr);
  DriveComboList drives;
  drives.Attach(combo);
  panel::DriveItem fixed{"C:\\ Disk A", DriveKind::kFixed, false, true, "Test folder: C:\\"};
  panel::DriveItem locked{"D:\\ Disc", DriveKind::kRemovable, false, false, "D:\\ is read-only"};
  panel::DriveItem choose{"Choose folder...", DriveKind::kFixed, true, true, "Test in a folder of your choice"};
  drives.SetItems({fixed, locked, choose});
  EXPECT_EQ(drives.Selection(), -1);
  EXPECT_EQ(drives.SelectedTooltip(), "");
  drives.Select(1);
  EXPECT_EQ(drives.SelectedTooltip(), "D:\\ is read-only");
  drives.Select(2);
  EXPECT_EQ(drives.SelectedTooltip(), "Test in a folder of your choice");
  // The tooltip watches the list's own combo box, which is what lies under the pointer.
  EXPECT_NE(drives.PointerTarget(), nullptr);
  EXPECT_EQ(GetParent(drives.PointerTarget()), combo);
  // Each item has an icon of its own where the system has them: a lock for the read-only one. (Wine's
  // shell has no stock icons in its image list, so there this part checks nothing.)
  const auto image = [&](int index) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_IMAGE;
    item.iItem = index;
    SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  };
  SHSTOCKICONINFO lock{};
  lock.cbSize = sizeof lock;
  if (SUCCEEDED(SHGetStockIconInfo(SIID_LOCK, SHGSI_SYSICONINDEX | SHGSI_SMALLICON, &lock)) && lock.iSysImageIndex >= 0) {
    EXPECT_EQ(image(1), lock.iSysImageIndex);
    EXPECT_NE(image(0), image(1));
  }
}

// Closes the folder dialog once it is on screen, as a user pressing Cancel would.
void CALLBACK CancelFolderDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM) {
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (IsWindowVisible(window) && lstrcmpW(class_name, L"#32770") == 0) PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
  }, 0);
  KillTimer(nullptr, timer);
}

TEST_F(Win32ViewTest, FolderDialogOpensAndACancelChoosesNothingWithoutAnError) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  SetTimer(nullptr, 0, 1500, CancelFolderDialog);
  const FolderChoice choice = AskFolder(owner_, "C:\\windows");
  EXPECT_FALSE(choice.folder.has_value());
  EXPECT_FALSE(choice.error) << choice.error.description;
  CoUninitialize();
}

}  // namespace
}  // namespace korvanel::win32
