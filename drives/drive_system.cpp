#include "drives/drive_system.h"

namespace korvanel {

// Where the system says nothing, the drive's root is the place, as on a desktop where every user may
// create a folder at the top of a drive.
SysError DriveSystem::CheckCanCreateIn(const std::string&) { return {}; }

std::string DriveSystem::HomeDirectory() { return {}; }

std::vector<std::string> DriveSystem::SharedTemporaryDirectories() { return {}; }

}  // namespace korvanel
