#pragma once
// The panel's picture as PNG: the window's own pixels, frame and title included, copied from its
// window DC (never from the screen, so a window lying over the panel cannot end up in it) and
// encoded by GDI+, which is loaded only while a picture is made.

#include <windows.h>

#include <string>

namespace korvanel::win32 {

// The PNG file's bytes; empty when the window could not be copied or GDI+ is missing or fails.
std::string WindowPicturePng(HWND window);

}  // namespace korvanel::win32
