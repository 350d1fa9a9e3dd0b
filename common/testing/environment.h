#pragma once
// Changing the process's environment from tests; each system has its own call for it.

namespace korvanel::testing {

// Sets `name` to `value`, or removes it when `value` is null; getenv and the system's own
// environment queries both see the change.
void SetEnvironmentValue(const char* name, const char* value);

}  // namespace korvanel::testing
