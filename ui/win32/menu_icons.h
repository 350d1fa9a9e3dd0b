#pragma once
// The icons of the menu bar's items: the system's own, from the shell's icon library (and the Task
// Manager's from its program file), at the size of a small icon at the panel's DPI.

#include <windows.h>

#include <map>

#include "ui/win32/gdi_handles.h"

namespace korvanel::win32 {

class MenuIcons {
 public:
  // Loads every command's icon at `dpi`; a command whose icon cannot be had has none.
  void Load(UINT dpi);
  // The icons by command; they stay this object's.
  std::map<int, HICON> Handles() const;

 private:
  std::map<int, UniqueIcon> icons_;
};

// An icon of this program's resources at `size` pixels square.
UniqueIcon LoadProgramIcon(HINSTANCE instance, int resource, int size);

}  // namespace korvanel::win32
