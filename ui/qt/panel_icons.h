#pragma once
// Icons for the panel: the desktop's icon theme by freedesktop name, with pictures of our own
// shipped in the program for every name we use, so a bare machine shows them too.

#include <QIcon>
#include <string>

#include "drives/drive_entry.h"

namespace korvanel::ui {

// The theme's icon called `name`, else our own of that name; a null icon for an empty name.
QIcon ThemeIcon(const std::string& name);

// The program's own icon.
QIcon ProgramIcon();

// The icon of a drive in the drive list.
QIcon DriveIcon(DriveKind kind);

}  // namespace korvanel::ui
