#include "ui/panel/test_places.h"

#include "common/display_text.h"
#include "drives/drive_listing.h"
#include "drives/drive_refresh.h"

namespace korvanel::panel {
std::string FolderKey(const std::string& folder) { return "folder " + folder; }

std::vector<TestPlaceItem> DrivePlaces(const std::vector<DriveEntry>& entries) {
  std::vector<TestPlaceItem> places;
  for (const DriveEntry& entry : entries) {
    places.push_back({entry.Root, entry, entry.TestDirectory, entry.TestPlaceProblem, ""});
  }
  return places;
}

TestPlaceItem FolderPlace(const std::string& folder, const DriveTable& table, DriveSystem& system) {
  TestPlaceItem place;
  place.key = FolderKey(folder);
  place.folder = folder;
  const int listed = FindDrive(table, system, folder);
  if (listed >= 0) {
    place.drive = table.Entry(listed);
  } else if (const std::optional<MountedDrive> mount = system.FindMountOf(folder)) {
    place.drive.Root = mount->root;
    place.drive.Device = mount->device;
    place.drive.DeviceNumber = mount->device_number;
    place.drive.FileSystem = mount->file_system;
    place.drive.ReadOnly = mount->read_only;
  }
  if (const SysError error = system.CheckCanCreateIn(folder)) {
    place.problem = folder + ": " + error.description;
  } else {
    place.directory = folder;
  }
  return place;
}

DriveItem ListItem(const TestPlaceItem& place) {
  DriveItem item;
  item.text = place.folder.empty() ? DriveItemText(place.drive) : EscapeControlCharacters(place.folder);
  item.kind = place.drive.Kind;
  item.folder = !place.folder.empty();
  item.enabled = place.usable();
  item.tooltip = EscapeControlCharacters(place.usable() ? "Test folder: " + place.directory : place.problem);
  return item;
}

DriveItem ChooseFolderItem() {
  DriveItem item;
  item.text = kChooseFolder;
  item.folder = true;
  item.tooltip = "Test in a folder of your choice";
  return item;
}

}  // namespace korvanel::panel
