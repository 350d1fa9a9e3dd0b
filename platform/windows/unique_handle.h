#pragma once
// Owns a Windows handle and closes it once.

#include <windows.h>

#include <utility>

namespace korvanel::platform {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Closes the handle; the Win32 error of the close, 0 when it succeeded or nothing was open.
  DWORD Reset() {
    if (handle_ == nullptr) return 0;
    const BOOL closed = CloseHandle(std::exchange(handle_, nullptr));
    return closed ? 0 : GetLastError();
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace korvanel::platform
