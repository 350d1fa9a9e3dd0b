// Linux reports errno values, so the system's code and the portable condition are the same number.

#include <cstring>

#include "common/sys_error.h"

namespace korvanel {

bool SysError::Is(int errno_value) const { return code == errno_value; }

SysError SysError::FromErrno(int errno_value) { return FromSystemCode(errno_value); }

SysError SysError::FromSystemCode(int code) {
  SysError error;
  error.code = code;
  char buffer[256] = {};
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  error.description = text ? text : "";
  return error;
}

}  // namespace korvanel
