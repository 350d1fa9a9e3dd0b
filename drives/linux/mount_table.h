#pragma once
// The kernel's mount table (/proc/self/mountinfo) as records.

#include <string>
#include <vector>

namespace korvanel {

struct MountRecord {
  int mount_id = 0;
  unsigned major = 0;
  unsigned minor = 0;
  std::string mount_point;  // unescaped
  std::string file_system;  // "ext4", "fuse.sshfs", ...
  std::string source;       // "/dev/sda2", "server:/export", "tmpfs", ... (unescaped)
  bool read_only = false;   // the mount or its file system is read-only

  std::string DeviceNumber() const { return std::to_string(major) + ":" + std::to_string(minor); }
};

// The records of a mountinfo text in its order; malformed lines are skipped.
std::vector<MountRecord> ParseMountTable(const std::string& text);

// The records of the mountinfo file at `path`; empty when it cannot be read.
std::vector<MountRecord> ReadMountTable(const std::string& path);

// The records that are not hidden: a later mount on the same mount point hides an earlier one.
std::vector<MountRecord> VisibleMounts(const std::vector<MountRecord>& records);

// The record whose mount point is the longest prefix of the absolute `path` (by whole names), or
// nullptr. Where the kernel can name the mount itself (statx), that answer is the better one.
const MountRecord* FindMountByPrefix(const std::vector<MountRecord>& records, const std::string& path);

}  // namespace korvanel
