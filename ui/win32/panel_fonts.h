#pragma once
// The panel's fonts at one DPI: the dialog's own, the heavy value font, the frame titles, the small
// bold font of the summary and the status line, and the test buttons' two sizes. All are made anew
// for each set-up and each change of DPI.

#include <windows.h>

#include "ui/panel/panel_view.h"
#include "ui/win32/gdi_handles.h"

namespace korvanel::win32 {

struct PanelFonts {
  UniqueFont dialog;    // the dialog's "MS Shell Dlg" 8 pt
  UniqueFont value;     // values, ratings, the program's name and Start: 17 px, heavy
  UniqueFont frame;     // the three frames' titles: 14 px, heavy
  UniqueFont small;     // summary and status line: 12 px, bold
  UniqueFont compact;   // test buttons of languages with long texts: 14 px, bold

  HFONT ForButton(panel::ButtonFont choice) const {
    return choice == panel::ButtonFont::kCompact ? compact.get() : value.get();
  }
};

// Pixel heights are those of 96 DPI, scaled to `dpi`.
PanelFonts MakePanelFonts(UINT dpi);

// The dialog font's base units at `dpi`: the average width of a letter and the font's height, which
// dialog units are quarters and eighths of.
SIZE DialogBaseUnits(UINT dpi);

}  // namespace korvanel::win32
