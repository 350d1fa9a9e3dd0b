// Where the user can write on Linux: the permission check the kernel makes (so ACLs, read-only
// mounts and root's privileges count as they will for the run), the home directory, and the shared
// temporary directories.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "common/bounded_call.h"
#include "drives/linux/linux_drive_system.h"
#include "platform/paths.h"

namespace korvanel {

SysError LinuxDriveSystem::CheckCanCreateIn(const std::string& directory) {
  const std::optional<int> error = CallWithin<int>("write " + directory, kDriveQueryLimit, [directory] {
    struct stat status {};
    if (stat(directory.c_str(), &status) != 0) return errno;
    if (!S_ISDIR(status.st_mode)) return ENOTDIR;
    // Creating an entry needs write and search permission on the directory.
    return faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) != 0 ? errno : 0;
  });
  if (!error) return SysError::FromErrno(ETIMEDOUT, "the drive does not answer");
  return *error != 0 ? SysError::FromErrno(*error) : SysError{};
}

std::string LinuxDriveSystem::HomeDirectory() { return platform::HomeDirectory(); }

std::vector<std::string> LinuxDriveSystem::SharedTemporaryDirectories() {
  std::vector<std::string> shared;
  for (const char* candidate : {"/var/tmp", "/tmp"}) {
    struct stat status {};
    // A link could lead anywhere; only the directory itself counts, and only when the sticky bit
    // keeps other users from removing or renaming what we make there.
    if (lstat(candidate, &status) == 0 && S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) &&
        (status.st_mode & S_IWOTH)) {
      shared.push_back(candidate);
    }
  }
  return shared;
}

}  // namespace korvanel
