#pragma once
// No "There is no disk in the drive" box for the calling thread while this lives (an empty card
// reader, a drive letter whose medium was pulled), only the failed call.

#include <windows.h>

namespace korvanel::platform {

class QuietDriveErrors {
 public:
  QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
  ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD previous_ = 0;
};

}  // namespace korvanel::platform
