#include "ui/win32/window_picture.h"

#include <objbase.h>

#include <cstdint>

#include "ui/win32/gdi_handles.h"

namespace korvanel::win32 {
namespace {

// The few entry points of GDI+'s flat interface that a PNG needs, looked up by name.
struct GdiplusStartupInput {
  UINT32 version = 1;
  void* debug_callback = nullptr;
  BOOL suppress_background_thread = FALSE;
  BOOL suppress_external_codecs = FALSE;
};
struct EncoderParameter {
  GUID guid;
  ULONG count;
  ULONG type;
  void* value;
};
struct EncoderParameters {
  UINT count;
  EncoderParameter parameter[1];
};
using GpImage = void;
using StartupFunction = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);
using ShutdownFunction = void(WINAPI*)(ULONG_PTR);
using FromBitmapFunction = int(WINAPI*)(HBITMAP, HPALETTE, GpImage**);
using SaveToStreamFunction = int(WINAPI*)(GpImage*, IStream*, const CLSID*, const EncoderParameters*);
using DisposeFunction = int(WINAPI*)(GpImage*);

// {557CF406-1A04-11D3-9A73-0000F81EF32E}: GDI+'s PNG encoder.
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
// {1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}: the quality parameter (PNG is lossless and ignores it).
constexpr GUID kQualityParameter = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};
constexpr ULONG kLongParameter = 4;

// GDI+ for as long as the object lives: loaded and started, then shut down and unloaded.
class Gdiplus {
 public:
  Gdiplus() : module_(LoadLibraryW(L"gdiplus.dll")) {
    const auto startup = Function<StartupFunction>("GdiplusStartup");
    const GdiplusStartupInput input;
    if (startup != nullptr && startup(&token_, &input, nullptr) != 0) token_ = 0;
  }
  ~Gdiplus() {
    if (token_ != 0) {
      if (const auto shutdown = Function<ShutdownFunction>("GdiplusShutdown")) shutdown(token_);
    }
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Gdiplus(const Gdiplus&) = delete;
  Gdiplus& operator=(const Gdiplus&) = delete;

  bool started() const { return token_ != 0; }

  template <typename F>
  F Function(const char* name) const {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
  ULONG_PTR token_ = 0;
};

// The window's pixels in a bitmap of its outer size.
UniqueBitmap CopyWindow(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return {};
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const WindowDc source(window, WindowDc::Area::kWholeWindow);
  if (source.get() == nullptr || width <= 0 || height <= 0) return {};
  UniqueMemoryDc memory(CreateCompatibleDC(source.get()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(source.get(), width, height));
  if (!memory || !bitmap) return {};
  const SelectedObject selected(memory.get(), bitmap.get());
  if (!BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY)) return {};
  return bitmap;
}

std::string StreamBytes(IStream* stream) {
  HGLOBAL global = nullptr;
  if (FAILED(GetHGlobalFromStream(stream, &global))) return {};
  STATSTG status{};
  if (FAILED(stream->Stat(&status, STATFLAG_NONAME))) return {};
  const auto* bytes = static_cast<const char*>(GlobalLock(global));
  if (bytes == nullptr) return {};
  std::string png(bytes, static_cast<size_t>(status.cbSize.QuadPart));
  GlobalUnlock(global);
  return png;
}

}  // namespace

std::string WindowPicturePng(HWND window) {
  const UniqueBitmap bitmap = CopyWindow(window);
  if (!bitmap) return {};
  const Gdiplus gdiplus;
  const auto from_bitmap = gdiplus.Function<FromBitmapFunction>("GdipCreateBitmapFromHBITMAP");
  const auto save = gdiplus.Function<SaveToStreamFunction>("GdipSaveImageToStream");
  const auto dispose = gdiplus.Function<DisposeFunction>("GdipDisposeImage");
  if (!gdiplus.started() || from_bitmap == nullptr || save == nullptr || dispose == nullptr) return {};
  GpImage* image = nullptr;
  if (from_bitmap(bitmap.get(), nullptr, &image) != 0 || image == nullptr) return {};
  std::string png;
  IStream* stream = nullptr;
  if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
    ULONG quality = 75;
    EncoderParameters parameters{1, {{kQualityParameter, 1, kLongParameter, &quality}}};
    if (save(image, stream, &kPngEncoder, &parameters) == 0) png = StreamBytes(stream);
    stream->Release();
  }
  dispose(image);
  return png;
}

}  // namespace korvanel::win32
