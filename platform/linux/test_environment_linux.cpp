#include <stdlib.h>

#include "common/testing/environment.h"

namespace korvanel::testing {

void SetEnvironmentValue(const char* name, const char* value) {
  value != nullptr ? setenv(name, value, 1) : unsetenv(name);
}

}  // namespace korvanel::testing
