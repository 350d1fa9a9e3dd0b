#pragma once
// An operating-system error carried as a value: the errno-style code and the system's description.

#include <string>

namespace korvanel {

struct SysError {
  int code = 0;             // 0 means success
  std::string description;  // the system's text for `code`, empty on success

  bool failed() const { return code != 0; }
  explicit operator bool() const { return failed(); }

  // The error for an errno value, with strerror's text.
  static SysError FromErrno(int errno_value);
};

}  // namespace korvanel
