#pragma once
// One drive of the drive list: where it is mounted and what is known about its volume and disk.

#include <cstdint>
#include <string>

namespace korvanel {

// How the system offers a drive; decides the icon and whether a physical disk can be found.
enum class DriveKind { kFixed, kRemovable, kRemote, kRamDisk };

struct DriveEntry {
  std::string Root;          // mount point; the test directory is made inside it
  std::string SerialNumber;  // serial number of the physical disk
  std::string Hd;            // reserved; always empty
  std::string Model;         // model name of the physical disk
  uint64_t FreeBytes = 0;    // free bytes for the user; all ones when the query failed
  uint64_t TotalBytes = 0;   // total bytes of the volume
  std::string VolumeLabel;   // volume label
  std::string FileSystem;    // file-system type, for example "ext4"
  std::string Driver;        // kernel driver of the disk's controller; "?" when unknown
  std::string Interface;     // bus as a user knows it: "SATA", "NVMe", "USB", ...
  std::string SizeText;      // size of the physical disk in bytes, decimal digits
  std::string Summary;       // the multi-line drive summary

  // Known from the mount table alone, set for every listed drive.
  std::string Device;        // what is mounted: "/dev/sda2", or the source of a network or RAM disk
  std::string DeviceNumber;  // "major:minor" of the mounted file system; bind mounts share it
  DriveKind Kind = DriveKind::kFixed;
  bool ReadOnly = false;  // mounted read-only: listed, but the benchmark cannot write there

  // Where the user can write on it (drives/test_place.h), set by every refresh.
  std::string TestDirectory;     // where the test directory is made; empty when the user can write nowhere
  std::string TestPlaceProblem;  // why there is no such place
};

}  // namespace korvanel
