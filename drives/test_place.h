#pragma once
// Where on a drive the test directory goes. The top of a file system is often not the user's to
// write (on Linux "/" and most mount points belong to root), so the test goes to the first place on
// the same file system that the user can write: the mount point, else the user's home directory
// when it lies on that file system, else the file system's shared temporary directory (/var/tmp,
// /tmp). The test directory is made new and private wherever it goes, so other users of a shared
// place can neither reach nor replace it.

#include <string>
#include <vector>

#include "drives/drive_entry.h"
#include "drives/drive_system.h"

namespace korvanel {

struct TestPlace {
  std::string directory;  // where the test directory is made; empty when the user can write nowhere
  std::string problem;    // when `directory` is empty: why, for the user to read
};

// The place for `drive` (Root, DeviceNumber and ReadOnly must be filled).
TestPlace ChooseTestPlace(DriveSystem& system, const DriveEntry& drive);

// Sets TestDirectory and TestPlaceProblem of every entry.
void ChooseTestPlaces(DriveSystem& system, std::vector<DriveEntry>* entries);

}  // namespace korvanel
