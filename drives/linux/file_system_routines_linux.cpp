#include "drives/file_system_routines.h"

namespace korvanel {

// Linux never redirects one process's view of system directories by its word size.
int IsWow64() { return 0; }

void DisableFsRedirection() {}

}  // namespace korvanel
