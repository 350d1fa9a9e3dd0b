#pragma once
// Owners of the GDI and USER handles the Windows panel makes: each deletes its handle once.

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace korvanel::win32 {

template <typename Handle, typename Deleter>
class UniqueGdi {
 public:
  UniqueGdi() = default;
  explicit UniqueGdi(Handle handle) : handle_(handle) {}
  ~UniqueGdi() { Reset(); }
  UniqueGdi(UniqueGdi&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueGdi& operator=(UniqueGdi&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueGdi(const UniqueGdi&) = delete;
  UniqueGdi& operator=(const UniqueGdi&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Gives the handle up to a new owner.
  Handle release() { return std::exchange(handle_, nullptr); }
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Deleter{}(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DestroyMenuHandle {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct DestroyImageList {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct DeleteMemoryDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

using UniqueFont = UniqueGdi<HFONT, DeleteGdiObject>;
using UniqueBitmap = UniqueGdi<HBITMAP, DeleteGdiObject>;
using UniqueBrush = UniqueGdi<HBRUSH, DeleteGdiObject>;
using UniqueIcon = UniqueGdi<HICON, DestroyIconHandle>;
using UniqueMenu = UniqueGdi<HMENU, DestroyMenuHandle>;
using UniqueImageList = UniqueGdi<HIMAGELIST, DestroyImageList>;
using UniqueMemoryDc = UniqueGdi<HDC, DeleteMemoryDc>;

// A window's device context for as long as the object lives (GetDC or GetWindowDC).
class WindowDc {
 public:
  enum class Area { kClient, kWholeWindow };
  WindowDc(HWND window, Area area)
      : window_(window), dc_(area == Area::kClient ? GetDC(window) : GetWindowDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back at the end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace korvanel::win32
