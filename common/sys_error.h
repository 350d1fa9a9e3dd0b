#pragma once
// An operating-system error carried as a value: the system's own code and its description.

#include <string>
#include <utility>

namespace korvanel {

struct SysError {
  int code = 0;             // the system's code (errno on Linux, a Win32 error code on Windows); 0 = success
  std::string description;  // the system's text for `code`, empty on success

  bool failed() const { return code != 0; }
  explicit operator bool() const { return failed(); }

  // Whether this is the condition that `errno_value` names (EEXIST, ECANCELED ...), whichever code
  // the system reported it with.
  bool Is(int errno_value) const;

  // The error for an errno value. Where the system speaks its own codes, the matching system code
  // and text, so that the user reads the same words for it as everywhere else on that system.
  static SysError FromErrno(int errno_value);
  // The same with a description of our own (what is wrong, and where) in place of the system's.
  static SysError FromErrno(int errno_value, std::string description) {
    SysError error = FromErrno(errno_value);
    error.description = std::move(description);
    return error;
  }
  // The error for a code as the system reports it, with the system's text.
  static SysError FromSystemCode(int code);
};

}  // namespace korvanel
