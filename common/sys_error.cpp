#include "common/sys_error.h"

#include <cstring>

namespace korvanel {

SysError SysError::FromErrno(int errno_value) {
  SysError error;
  error.code = errno_value;
  char buffer[256] = {};
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(errno_value, buffer, sizeof buffer);
  error.description = text ? text : "";
  return error;
}

}  // namespace korvanel
