#pragma once
// Every text of the panel's set-up in the current language: titles, captions, the size list, the
// footer and the fonts that suit the language. Rebuilt after each language change.

#include <string>
#include <vector>

#include "ui/panel/menu_model.h"
#include "ui/panel/panel_view.h"
#include "platform/os_version.h"
#include "results/value_texts.h"

namespace korvanel::panel {

struct PanelTexts {
  std::string title;                    // program and version, then the system's version
  std::vector<ControlText> controls;    // captions of the buttons, frames and the program label
  std::string start_caption;            // "Start "
  std::string stop_caption;             // "Stop "
  std::vector<std::string> sizes;       // the four test lengths
  std::vector<MenuItem> footer;         // the notice button and "# LNG"
  std::string donate;                   // the menu bar's right-hand button
  ButtonFont test_button_font = ButtonFont::kLarge;
  ButtonFont start_button_font = ButtonFont::kLarge;
  bool right_to_left = false;
};

PanelTexts BuildPanelTexts(const platform::SystemVersion& os);

// `text` with its one "%s" replaced by `value`; never used as a format, so a translation's other
// "%" signs stay as they are.
std::string FilledIn(std::string text, const std::string& value);

// "Korvanel 1.84 - OS:6.1.0": the program, its version and the system's version.
std::string PanelTitle(const platform::SystemVersion& os);

// What each value, rating and status control shows and what each test button measures, for a
// screen reader ("Sequential read", ...).
std::vector<ControlText> AccessibleDescriptions();

// The names a screen reader gives the two lists, whatever they show, and the status line while it
// is empty.
std::vector<ControlText> AccessibleNames();

}  // namespace korvanel::panel
