#pragma once
// The physical disks of the machine and which mounted file systems lie on each of them.

#include <optional>
#include <string>
#include <vector>

namespace korvanel {

struct DiskInfoEntry {
  std::string Model;
  std::string SerialNumber;
  int Index = 0;                     // key of every lookup; the platform numbers the disks
  std::string Size;                  // bytes, decimal digits
  std::string InterfaceType;         // "SATA", "NVMe", "USB", ...
  std::string Driver;                // kernel driver of the disk's controller; empty when unknown
  std::vector<std::string> Letters;  // mount points of every file system on the disk
};

// Where the disk list comes from; the platform implements it.
class DiskSource {
 public:
  virtual ~DiskSource() = default;
  // Every disk with its mount points; nullopt when the system cannot be asked at all.
  virtual std::optional<std::vector<DiskInfoEntry>> ListDisks() = 0;
  // Why the last ListDisks gave nothing, in words for the user ("WMI did not answer within 10 s");
  // empty when it answered or when there is nothing to say.
  virtual std::string LastDiskProblem() const { return {}; }
};

class CDiskInfo {
 public:
  static constexpr int kMaxDisks = 255;

  virtual ~CDiskInfo() = default;

  // Replaces the list with the source's disks (at most kMaxDisks); keeps the old list when the
  // source fails.
  void Enumerate(DiskSource& source);

  int Count() const { return static_cast<int>(disks_.size()); }
  const std::vector<DiskInfoEntry>& Disks() const { return disks_; }

  // The first disk that holds a file system mounted exactly at `mount_point`; nullptr when none.
  const DiskInfoEntry* FindByMountPoint(const std::string& mount_point) const;

  // Field of the first disk with `index`; the field as stored, even empty. Without such a disk:
  // "No-Name", "No-SN", "No-Name", "0" and "?". GetScsiDriver also gives "?" for an empty driver.
  std::string GetModel(int index) const;
  std::string GetSerialNumber(int index) const;
  std::string GetInterfaceType(int index) const;
  std::string GetSize(int index) const;
  std::string GetScsiDriver(int index) const;

 private:
  const DiskInfoEntry* FindByIndex(int index) const;

  std::vector<DiskInfoEntry> disks_;
};

}  // namespace korvanel
