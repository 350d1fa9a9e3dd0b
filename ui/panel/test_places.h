#pragma once
// The drive list's items: one place per drive, a folder the user chose, and the last item that
// chooses one. A place is where the test directory goes (drives/test_place.h); a drive without one
// is listed greyed, with the reason beside it, so the user learns before pressing Start.

#include <string>
#include <vector>

#include "ui/panel/panel_view.h"
#include "drives/drive_entry.h"
#include "drives/drive_system.h"
#include "drives/drive_table.h"

namespace korvanel::panel {

// The drive list's last item, and the title of the folder dialog it opens.
inline constexpr const char* kChooseFolder = "Choose folder...";

struct TestPlaceItem {
  std::string key;        // the same place across refreshes: the drive's root, or FolderKey()
  DriveEntry drive;       // the drive it lies on; its Root is the mount point, all a report names
  std::string directory;  // where the test directory goes; empty: nowhere
  std::string problem;    // why nowhere
  std::string folder;     // the folder chosen with "Choose folder..."; empty for a drive

  bool usable() const { return !directory.empty(); }
};

// A chosen folder's key, never a drive's even when the folder is a mount point.
std::string FolderKey(const std::string& folder);

// The places of the drives, in the table's order.
std::vector<TestPlaceItem> DrivePlaces(const std::vector<DriveEntry>& entries);

// The place of `folder`: on the listed drive that holds it, or on its mount as `system` describes
// it when the list does not have it. The folder itself takes the test directory, if the user may
// create one there.
TestPlaceItem FolderPlace(const std::string& folder, const DriveTable& table, DriveSystem& system);

// What the list shows for `place`.
DriveItem ListItem(const TestPlaceItem& place);

// The list's last item, which opens the folder dialog.
DriveItem ChooseFolderItem();

}  // namespace korvanel::panel
