#include "drives/test_place.h"

#include <cerrno>
#include <optional>

namespace korvanel {
namespace {

// A place on some drive where the user may be able to write when the top of the drive is not
// theirs, and the file system it lies on.
struct Candidate {
  std::string directory;
  std::string device_number;
};

// The home directory and the shared temporary directories with their file systems, looked up once
// for all drives and only when a drive needs them (root may write the top of every drive).
class Candidates {
 public:
  explicit Candidates(DriveSystem& system) : system_(system) {}

  const std::vector<Candidate>& Get() {
    if (!found_) found_ = Find();
    return *found_;
  }

 private:
  std::vector<Candidate> Find() {
    std::vector<std::string> directories = {system_.HomeDirectory()};
    for (const std::string& shared : system_.SharedTemporaryDirectories()) directories.push_back(shared);
    std::vector<Candidate> candidates;
    for (const std::string& directory : directories) {
      if (directory.empty()) continue;
      // Bind mounts of a file system carry its device number too.
      if (const std::optional<MountedDrive> mount = system_.FindMountOf(directory)) {
        candidates.push_back({directory, mount->device_number});
      }
    }
    return candidates;
  }

  DriveSystem& system_;
  std::optional<std::vector<Candidate>> found_;
};

std::string Problem(const DriveEntry& drive, const SysError& error) {
  return drive.Root + ": " + error.description + "; there is no folder on this drive you can write in";
}

TestPlace ChooseAmong(DriveSystem& system, const DriveEntry& drive, Candidates& candidates) {
  // Asked first: a read-only mount says so at once, however its directories look.
  if (drive.ReadOnly) return {"", Problem(drive, SysError::FromErrno(EROFS))};
  const SysError at_root = system.CheckCanCreateIn(drive.Root);
  if (!at_root) return {drive.Root, ""};
  if (!drive.DeviceNumber.empty()) {
    for (const Candidate& candidate : candidates.Get()) {
      if (candidate.device_number == drive.DeviceNumber && !system.CheckCanCreateIn(candidate.directory)) {
        return {candidate.directory, ""};
      }
    }
  }
  return {"", Problem(drive, at_root)};
}

}  // namespace

TestPlace ChooseTestPlace(DriveSystem& system, const DriveEntry& drive) {
  Candidates candidates(system);
  return ChooseAmong(system, drive, candidates);
}

void ChooseTestPlaces(DriveSystem& system, std::vector<DriveEntry>* entries) {
  Candidates candidates(system);
  for (DriveEntry& entry : *entries) {
    const TestPlace place = ChooseAmong(system, entry, candidates);
    entry.TestDirectory = place.directory;
    entry.TestPlaceProblem = place.problem;
  }
}

}  // namespace korvanel
