#pragma once
// The steps of a drive refresh: list the mounted drives, find their disks and describe each drive.

#include <string>
#include <vector>

#include "drives/disk_info.h"
#include "drives/drive_entry.h"
#include "drives/drive_system.h"

namespace korvanel {

// Fresh entries for the drives the system lists (at most DriveTable::kCapacity), with Root,
// Device, DeviceNumber, FileSystem, Kind and ReadOnly set and everything else empty.
std::vector<DriveEntry> EnumerateDrives(DriveSystem& system);

// Fills the disk and volume fields and the summary of `entry` from the disk that holds its Root.
// Returns false when no disk holds it (network and RAM disks); the entry then describes what its
// volume tells: file system, label, and (except for a network drive) size and free space.
bool DescribeDrive(DriveSystem& system, const CDiskInfo& disks, bool show_label, DriveEntry* entry);

// Enumerates the disks into `disks`, then describes every entry.
void IdentifyDrives(DriveSystem& system, CDiskInfo& disks, bool show_label,
                    std::vector<DriveEntry>* entries);

// Describes `entry` alone, asking only for the disks that hold its Root (a command-line run needs
// no other drive). Leaves it untouched when no disk holds it.
void IdentifyDrive(DriveSystem& system, bool show_label, DriveEntry* entry);

// The drive list's text for an entry: Root, a blank and Model, control characters shown escaped.
std::string DriveItemText(const DriveEntry& entry);

}  // namespace korvanel
