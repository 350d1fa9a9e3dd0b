#pragma once
// The language texts the drive list shows, in one place so that they can follow the language table.

#include <string>

namespace korvanel {

enum DriveTextId {
  kDriveTextInitialize = 5,  // shown while a refresh runs
  kDriveTextFree = 19,
  kDriveTextOf = 20,
  kDriveTextNoInfo = 24,  // shown for a drive that no disk claims
  kDriveTextDriver = 25,
  kDriveTextPartition = 26,
};

// The text with the given id in the current language; empty for an id this subsystem does not use.
std::string DriveText(int id);

}  // namespace korvanel
