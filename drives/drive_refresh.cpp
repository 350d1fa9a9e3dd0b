#include "drives/drive_refresh.h"

#include "common/display_text.h"
#include "drives/drive_summary.h"
#include "drives/drive_table.h"
#include "drives/volume_queries.h"

namespace korvanel {

std::vector<DriveEntry> EnumerateDrives(DriveSystem& system) {
  std::vector<DriveEntry> entries;
  for (const MountedDrive& drive : system.ListDrives()) {
    if (entries.size() == static_cast<size_t>(DriveTable::kCapacity)) break;
    DriveEntry entry;
    entry.Root = drive.root;
    entry.Device = drive.device;
    entry.DeviceNumber = drive.device_number;
    // Known without a disk, and the engine needs it to treat RAM disks as such.
    entry.FileSystem = drive.file_system;
    entry.Kind = drive.kind;
    entry.ReadOnly = drive.read_only;
    entries.push_back(std::move(entry));
  }
  return entries;
}

namespace {

// A drive that no disk claims (a RAM disk, a network drive, a disk the identification missed) is
// described by what its volume tells. A network drive is not asked: its mount table entry says
// enough, and a server that does not answer would hold up the whole refresh.
void DescribeVolume(DriveSystem& system, bool show_label, DriveEntry* entry) {
  const bool ask = entry->Kind != DriveKind::kRemote;
  if (ask) {
    if (std::optional<VolumeInfo> volume = system.QueryVolume(entry->Root)) {
      entry->FileSystem = volume->file_system;
      entry->VolumeLabel = volume->label;
    }
    entry->FreeBytes = static_cast<uint64_t>(GetDiskSpace(system, entry->Root, &entry->TotalBytes));
  }
  std::string partition_text = entry->FileSystem;
  if (show_label && !entry->VolumeLabel.empty()) partition_text += " - [" + entry->VolumeLabel + "]";
  entry->Summary = BuildVolumeSummary(*entry, partition_text, ask);
}

}  // namespace

bool DescribeDrive(DriveSystem& system, const CDiskInfo& disks, bool show_label,
                   DriveEntry* entry) {
  const DiskInfoEntry* disk = disks.FindByMountPoint(entry->Root);
  if (disk == nullptr) {
    DescribeVolume(system, show_label, entry);
    return false;
  }
  entry->Model = disks.GetModel(disk->Index);
  entry->SizeText = disks.GetSize(disk->Index);
  entry->Driver = disks.GetScsiDriver(disk->Index);
  entry->Interface = disks.GetInterfaceType(disk->Index);
  entry->SerialNumber = disks.GetSerialNumber(disk->Index);
  const std::string partition_text =
      GetVolumeText(system, entry->Root, show_label, &entry->VolumeLabel, &entry->FileSystem);
  entry->FreeBytes = static_cast<uint64_t>(GetDiskSpace(system, entry->Root, &entry->TotalBytes));
  entry->Summary = BuildDriveSummary(*entry, partition_text);
  return true;
}

void IdentifyDrives(DriveSystem& system, CDiskInfo& disks, bool show_label,
                    std::vector<DriveEntry>* entries) {
  disks.Enumerate(system);
  for (DriveEntry& entry : *entries) DescribeDrive(system, disks, show_label, &entry);
}

namespace {

// The disks of one drive as a disk source.
class DisksHolding : public DiskSource {
 public:
  DisksHolding(DriveSystem& system, std::string root) : system_(system), root_(std::move(root)) {}
  std::optional<std::vector<DiskInfoEntry>> ListDisks() override { return system_.ListDisksHolding(root_); }

 private:
  DriveSystem& system_;
  std::string root_;
};

}  // namespace

void IdentifyDrive(DriveSystem& system, bool show_label, DriveEntry* entry) {
  CDiskInfo disks;
  DisksHolding source(system, entry->Root);
  disks.Enumerate(source);
  DescribeDrive(system, disks, show_label, entry);
}

std::string DriveItemText(const DriveEntry& entry) { return EscapeControlCharacters(entry.Root + " " + entry.Model); }

}  // namespace korvanel
