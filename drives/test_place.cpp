#include "drives/test_place.h"

#include <cerrno>

namespace korvanel {
namespace {

// Whether `directory` lies on the file system of `drive` (bind mounts of it included).
bool OnDrive(DriveSystem& system, const DriveEntry& drive, const std::string& directory) {
  if (directory.empty() || drive.DeviceNumber.empty()) return false;
  const std::optional<MountedDrive> mount = system.FindMountOf(directory);
  return mount && mount->device_number == drive.DeviceNumber;
}

std::string Problem(const DriveEntry& drive, const SysError& error) {
  return drive.Root + ": " + error.description + "; there is no folder on this drive you can write in";
}

}  // namespace

TestPlace ChooseTestPlace(DriveSystem& system, const DriveEntry& drive) {
  // Asked first: a read-only mount says so at once, however its directories look.
  if (drive.ReadOnly) return {"", Problem(drive, SysError::FromErrno(EROFS))};
  const SysError at_root = system.CheckCanCreateIn(drive.Root);
  if (!at_root) return {drive.Root, ""};
  std::vector<std::string> candidates = {system.HomeDirectory()};
  for (const std::string& shared : system.SharedTemporaryDirectories()) candidates.push_back(shared);
  for (const std::string& candidate : candidates) {
    if (OnDrive(system, drive, candidate) && !system.CheckCanCreateIn(candidate)) return {candidate, ""};
  }
  return {"", Problem(drive, at_root)};
}

void ChooseTestPlaces(DriveSystem& system, std::vector<DriveEntry>* entries) {
  for (DriveEntry& entry : *entries) {
    const TestPlace place = ChooseTestPlace(system, entry);
    entry.TestDirectory = place.directory;
    entry.TestPlaceProblem = place.problem;
  }
}

}  // namespace korvanel
