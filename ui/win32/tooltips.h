#pragma once
// The panel's tooltips: one tooltip window of the dialog, one tool per control that has a text.

#include <windows.h>

#include <string>

namespace korvanel::win32 {

class ControlTooltips {
 public:
  ControlTooltips() = default;
  ~ControlTooltips();
  ControlTooltips(const ControlTooltips&) = delete;
  ControlTooltips& operator=(const ControlTooltips&) = delete;

  void Create(HWND dialog);
  // Shows `text` (several lines allowed) while the pointer rests on `control`; empty: no tooltip.
  void Set(HWND control, const std::string& text);
  // What `control` shows now; empty when it has no tooltip.
  std::string Text(HWND control) const;
  void SetRightToLeft(bool right_to_left);
  // A tooltip is as wide as this, then its text wraps.
  void SetMaxWidth(int pixels);

 private:
  HWND dialog_ = nullptr;
  HWND tooltip_ = nullptr;
};

}  // namespace korvanel::win32
