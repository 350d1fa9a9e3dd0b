#include "ui/win32/panel_fonts.h"

#include <cwchar>

#include "ui/win32/dpi.h"

namespace korvanel::win32 {
namespace {

constexpr int kDialogPoints = 8;

LOGFONTW DialogFontDescription(UINT dpi) {
  LOGFONTW description{};
  description.lfHeight = -MulDiv(kDialogPoints, static_cast<int>(dpi), 72);
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  // The dialog template's face; the system maps it to its shell font (Tahoma, Segoe UI).
  wcscpy(description.lfFaceName, L"MS Shell Dlg");
  return description;
}

// The panel's own faces start from the GUI font's description with Tahoma, as on every Windows
// since XP; only the height and weight differ.
UniqueFont PanelFont(int pixels_at_96, int weight, UINT dpi) {
  LOGFONTW description{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
  description.lfHeight = -Scaled(pixels_at_96, dpi);
  description.lfWidth = 0;
  description.lfWeight = weight;
  description.lfItalic = FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = PROOF_QUALITY;
  description.lfPitchAndFamily = 0x52;  // variable pitch, Swiss
  wcscpy(description.lfFaceName, L"Tahoma");
  return UniqueFont(CreateFontIndirectW(&description));
}

}  // namespace

PanelFonts MakePanelFonts(UINT dpi) {
  PanelFonts fonts;
  const LOGFONTW dialog = DialogFontDescription(dpi);
  fonts.dialog = UniqueFont(CreateFontIndirectW(&dialog));
  fonts.value = PanelFont(17, FW_HEAVY, dpi);
  fonts.frame = PanelFont(14, FW_HEAVY, dpi);
  fonts.small = PanelFont(12, FW_BOLD, dpi);
  fonts.compact = PanelFont(14, FW_BOLD, dpi);
  return fonts;
}

SIZE DialogBaseUnits(UINT dpi) {
  const LOGFONTW description = DialogFontDescription(dpi);
  UniqueFont font(CreateFontIndirectW(&description));
  HDC screen = GetDC(nullptr);
  SIZE units{Scaled(6, dpi), Scaled(13, dpi)};
  if (screen != nullptr) {
    const SelectedObject selected(screen, font.get());
    // The dialog manager's own measure: the mean width of the 52 Latin letters, rounded.
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent{};
    TEXTMETRICW metrics{};
    if (GetTextExtentPoint32W(screen, kLetters, 52, &extent) && GetTextMetricsW(screen, &metrics)) {
      units = {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
    }
  }
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return units;
}

}  // namespace korvanel::win32
