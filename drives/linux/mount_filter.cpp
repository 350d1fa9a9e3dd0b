#include "drives/linux/mount_filter.h"

#include <set>
#include <string>

namespace korvanel {
namespace {

bool IsSystemType(const std::string& type) {
  static const std::set<std::string> kTypes = {
      "proc",     "sysfs",       "cgroup",     "cgroup2", "devpts",    "devtmpfs",
      "debugfs",  "tracefs",     "securityfs", "pstore",  "mqueue",    "hugetlbfs",
      "fusectl",  "autofs",      "rpc_pipefs", "nfsd",    "selinuxfs", "bpf",
      "configfs", "binfmt_misc", "efivarfs",   "nsfs",    "overlay",   "aufs"};
  return kTypes.count(type) > 0;
}

// Read-only images and optical media: nothing to write a test file to.
bool IsImageType(const std::string& type) {
  static const std::set<std::string> kTypes = {"squashfs", "erofs", "iso9660", "udf", "cramfs"};
  return kTypes.count(type) > 0;
}

bool IsNetworkType(const std::string& type) {
  static const std::set<std::string> kTypes = {
      "nfs", "nfs4",  "cifs",  "smb3",   "smbfs",     "9p",     "virtiofs", "ceph",
      "afs", "davfs", "ncpfs", "lustre", "glusterfs", "beegfs", "orangefs", "gpfs"};
  return kTypes.count(type) > 0;
}

// FUSE file systems show as "fuse.<program>"; only these programs reach another machine.
bool IsNetworkFuseProgram(const std::string& program) {
  static const std::set<std::string> kPrograms = {"sshfs",     "rclone",    "s3fs",      "gcsfuse",
                                                  "glusterfs", "curlftpfs", "ceph-fuse", "smbnetfs",
                                                  "goofys",    "juicefs",   "davfs2",    "cephfs"};
  return kPrograms.count(program) > 0;
}

bool IsBelow(const std::string& path, const std::string& directory) {
  return path == directory || path.rfind(directory + "/", 0) == 0;
}

// tmpfs under /run, /sys and /dev belongs to the system; /dev/shm is the one users write to.
bool IsUserRamPlace(const std::string& mount_point) {
  if (IsBelow(mount_point, "/dev/shm")) return true;
  for (const char* system_place : {"/run", "/sys", "/proc", "/dev"}) {
    if (IsBelow(mount_point, system_place)) return false;
  }
  return true;
}

}  // namespace

MountClass ClassifyMount(const MountRecord& mount) {
  const std::string& type = mount.file_system;
  if (IsSystemType(type) || IsImageType(type)) return MountClass::kSkip;
  if (type == "tmpfs" || type == "ramfs") {
    // A read-only RAM mount holds nothing a benchmark could write to or measure.
    if (mount.read_only || !IsUserRamPlace(mount.mount_point)) return MountClass::kSkip;
    return MountClass::kRamDisk;
  }
  if (IsNetworkType(type)) return MountClass::kRemote;
  if (type.rfind("fuse.", 0) == 0) {
    return IsNetworkFuseProgram(type.substr(5)) ? MountClass::kRemote : MountClass::kSkip;
  }
  return MountClass::kBlock;
}

}  // namespace korvanel
