// The drive list of the panel: its refresh on a thread of its own and the user's selection.
#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "drives/drive_refresh.h"
#include "lang/languages.h"

namespace korvanel::panel {

void Panel::StartDriveRefresh() {
  // A refresh during a run would reset the results being measured; one at a time is enough.
  if (run_active_ || refreshing_) {
    refresh_pending_ = true;
    return;
  }
  if (const std::optional<DriveEntry> drive = SelectedDrive()) selected_root_ = drive->Root;
  refreshing_ = true;
  view_.SetControlText(kControlSummary, GetText(5));
  ApplyControlStates();
  drives_.SetShowVolumeLabel(no_vol_label_ == 0);
  drives_.StartRefresh([this] { channel_.Post([this] { OnDrivesRefreshed(); }); });
}

void Panel::OnDrivesRefreshed() {
  // The refresh thread has handed over its table and is at most returning.
  drives_.WaitForRefresh();
  const std::vector<DriveEntry> entries = drives_.Table().Entries();
  std::vector<DriveItem> items;
  int selection = entries.empty() ? -1 : 0;
  for (const DriveEntry& entry : entries) {
    // The drive chosen before stays chosen, wherever the refresh has put it.
    if (entry.Root == selected_root_) selection = static_cast<int>(items.size());
    items.push_back({DriveItemText(entry), entry.Kind});
  }
  view_.SetDriveItems(items);
  view_.SelectDrive(selection);
  refreshing_ = false;
  drives_listed_ = true;
  SelectDrive(true);
  ApplyControlStates();
  if (refresh_pending_ && !waiting_) {
    refresh_pending_ = false;
    StartDriveRefresh();
  }
}

void Panel::SelectDrive(bool force) {
  const auto reset = [this] {
    engine_.ResetResults();
    results_complete_ = false;
    // The values of another drive must not stay on show under this drive's name.
    ShowValues(TemplateValueTexts());
  };
  if (const std::optional<std::string> summary = drives_.SelectDrive(view_.DriveSelection(), reset, force)) {
    view_.SetControlText(kControlSummary, *summary);
  }
  ApplyControlStates();
}

std::optional<DriveEntry> Panel::SelectedDrive() const {
  const int index = view_.DriveSelection();
  if (index < 0 || index >= drives_.Table().Count()) return std::nullopt;
  return drives_.Table().Entry(index);
}

}  // namespace korvanel::panel
