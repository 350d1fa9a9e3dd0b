#pragma once
// What the drive list needs from the operating system. One implementation per platform, chosen at
// link time through CreateDriveSystem().

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/sys_error.h"
#include "drives/disk_info.h"
#include "drives/drive_entry.h"

namespace korvanel {

// How long a question about one mount or volume may take; one that has not answered by then (a
// network file system whose server is gone, which the system may go on reconnecting to for much
// longer) counts as not answering, and the drive list goes on without what it would have told.
inline constexpr std::chrono::milliseconds kDriveQueryLimit{2000};

// A file system the user could test.
struct MountedDrive {
  std::string root;           // mount point
  std::string device;         // "/dev/sda2", or the source of a network or RAM disk
  std::string device_number;  // "major:minor" of the file system
  std::string file_system;    // "ext4", "nfs4", "tmpfs", ...
  DriveKind kind = DriveKind::kFixed;
  bool read_only = false;
};

struct VolumeInfo {
  std::string file_system;
  std::string label;  // empty when the volume has none or it cannot be read
};

class DriveSystem : public DiskSource {
 public:
  // The drives to list, one per file system, ordered by mount point; empty when nothing qualifies
  // or the mount table cannot be read.
  virtual std::vector<MountedDrive> ListDrives() = 0;

  // File system and label of the file system mounted at `root`; nullopt when nothing is mounted
  // there.
  virtual std::optional<VolumeInfo> QueryVolume(const std::string& root) = 0;

  // Free bytes for the user on the file system holding `path`, and its size in `*total`; -1 and
  // `*total` untouched on failure.
  virtual int64_t QueryDiskSpace(const std::string& path, uint64_t* total) = 0;

  // The disks that hold the file system mounted at `root`, for describing that drive alone; a system
  // that cannot single them out cheaply lists every disk.
  virtual std::optional<std::vector<DiskInfoEntry>> ListDisksHolding(const std::string& root) {
    (void)root;
    return ListDisks();
  }

  // The mount that holds `path` (root, device and device_number filled; nothing filtered out);
  // nullopt when `path` does not exist.
  virtual std::optional<MountedDrive> FindMountOf(const std::string& path) = 0;

  // --- where the user can write (drives/test_place.h) ---
  // No error when the user may create a directory in `directory`, otherwise why not (EACCES, EROFS,
  // ENOTDIR, ...). A system that cannot tell gives no error; the run then says what went wrong.
  virtual SysError CheckCanCreateIn(const std::string& directory);
  // The user's home directory; empty when unknown.
  virtual std::string HomeDirectory();
  // Directories that every user may create entries in and only their owner may remove from again
  // (world-writable and sticky: /var/tmp, /tmp), in the order to try them.
  virtual std::vector<std::string> SharedTemporaryDirectories();
};

// The system's own drive queries.
std::unique_ptr<DriveSystem> CreateDriveSystem();

}  // namespace korvanel
