// The drive list of the panel: its refresh on a thread of its own, the places a test can go (one
// per drive, a folder the user chose, and the item that chooses one), and the user's selection.
#include <algorithm>

#include "ui/panel/panel.h"
#include "ui/panel/panel_ids.h"
#include "drives/drive_summary.h"
#include "lang/languages.h"
#include "lang/text_ids.h"
#include "settings/settings.h"

namespace korvanel::panel {

void Panel::StartDriveRefresh() {
  // A refresh during a run would change the list under it; one at a time is enough.
  if (run_active_ || refreshing_) {
    refresh_pending_ = true;
    return;
  }
  refreshing_ = true;
  view_.SetControlText(kControlSummary, GetText(kInitializeText));
  ApplyControlStates();
  drives_.SetShowVolumeLabel(no_vol_label_ == 0);
  // The chosen folder is looked at on the refresh thread too: its drive may take its time to answer.
  drives_.StartRefresh([this, folder = folder_] {
    std::optional<TestPlaceItem> folder_place;
    if (!folder.empty()) folder_place = FolderPlace(folder, drives_.Table(), drive_system_);
    channel_.Post([this, folder_place] { OnDrivesRefreshed(folder_place); });
  });
}

void Panel::OnDrivesRefreshed(const std::optional<TestPlaceItem>& folder_place) {
  // The refresh thread has handed over its table and is at most returning.
  drives_.WaitForRefresh();
  ListPlaces(folder_place);
  refreshing_ = false;
  drives_listed_ = true;
  SelectDrive(true);
  ApplyControlStates();
  if (refresh_pending_ && !waiting_) {
    refresh_pending_ = false;
    StartDriveRefresh();
  }
}

void Panel::ListPlaces(const std::optional<TestPlaceItem>& folder_place) {
  places_ = DrivePlaces(drives_.Table().Entries());
  if (folder_place) places_.push_back(*folder_place);
  std::vector<DriveItem> items;
  for (const TestPlaceItem& place : places_) items.push_back(ListItem(place));
  items.push_back(ChooseFolderItem());
  view_.SetDriveItems(items);
  // The place chosen before stays chosen, wherever the refresh has put it, while it can be used.
  int selection = IndexOf(selected_key_);
  if (selection < 0 || !places_[selection].usable()) {
    const auto usable = std::find_if(places_.begin(), places_.end(), [](const TestPlaceItem& p) { return p.usable(); });
    selection = usable != places_.end() ? static_cast<int>(usable - places_.begin()) : (places_.empty() ? -1 : 0);
  }
  view_.SelectDrive(selection);
}

int Panel::IndexOf(const std::string& key) const {
  for (size_t i = 0; i < places_.size(); ++i) {
    if (places_[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

void Panel::SelectDrive(bool force) {
  if (view_.DriveSelection() == static_cast<int>(places_.size()) && drives_listed_) return ChooseFolder();
  const std::optional<TestPlaceItem> place = SelectedPlace();
  const std::string key = place ? place->key : "";
  const bool changed = key != selected_key_;
  if (!changed && !force) return ApplyControlStates();
  // Only another place resets the values: a refresh of the same drive (the volume label hidden, a
  // refresh after a run) keeps what was measured on it.
  if (changed) ResetShownResults();
  selected_key_ = key;
  if (!force) RememberFolder(place ? place->folder : "");
  if (place) {
    view_.SetControlText(kControlSummary, SummaryBoxText(place->drive));
    // Said before Start is pressed: the user can choose another drive or a folder.
    if (!place->usable()) {
      view_.SetControlText(kControlStatus, place->problem);
    } else if (changed) {
      view_.SetControlText(kControlStatus, "");
    }
  }
  ApplyControlStates();
}

void Panel::ResetShownResults() {
  engine_.ResetResults();
  results_complete_ = false;
  last_run_time_.clear();
  // The values of another drive must not stay on show under this drive's name.
  ShowValues(TemplateValueTexts());
  ShowTooltips(BenchResults{});
}

void Panel::ChooseFolder() {
  const std::string start = !folder_.empty() ? folder_ : drive_system_.HomeDirectory();
  if (const std::optional<std::string> chosen = view_.AskFolderName(start)) {
    const TestPlaceItem place = FolderPlace(*chosen, drives_.Table(), drive_system_);
    if (place.usable()) {
      folder_ = *chosen;
      ListPlaces(place);
      view_.SelectDrive(IndexOf(FolderKey(folder_)));
      return SelectDrive(false);
    }
    view_.ShowError("Cannot test in " + *chosen + ":\n" + place.problem);
  }
  // Cancelled or refused: the place chosen before stays.
  view_.SelectDrive(IndexOf(selected_key_));
  ApplyControlStates();
}

void Panel::RememberFolder(const std::string& folder) {
  if (folder == stored_folder_) return;
  if (WriteSettingString(kProgramSection, kFolderSetting, folder)) {
    stored_folder_ = folder;
  } else {
    TellRefusedSettingsWrite();
  }
}

std::optional<TestPlaceItem> Panel::SelectedPlace() const {
  const int index = view_.DriveSelection();
  if (index < 0 || index >= static_cast<int>(places_.size())) return std::nullopt;
  return places_[index];
}

std::optional<DriveEntry> Panel::SelectedDrive() const {
  if (const std::optional<TestPlaceItem> place = SelectedPlace()) return place->drive;
  return std::nullopt;
}

}  // namespace korvanel::panel
