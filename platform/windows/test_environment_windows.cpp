#include <stdlib.h>
#include <windows.h>

#include "common/testing/environment.h"
#include "platform/windows/wide_text.h"

namespace korvanel::testing {

// _wputenv_s changes the C runtime's copy (getenv) and the process's block (GetEnvironmentVariableW);
// an empty value removes the variable.
void SetEnvironmentValue(const char* name, const char* value) {
  _wputenv_s(platform::WideFromUtf8(name).c_str(), value != nullptr ? platform::WideFromUtf8(value).c_str() : L"");
}

}  // namespace korvanel::testing
