#include "drives/drive_list.h"

#include "drives/drive_refresh.h"
#include "drives/drive_summary.h"
#include "drives/test_place.h"

namespace korvanel {

DriveList::DriveList(DriveSystem& system) : system_(system) {}

DriveList::~DriveList() { WaitForRefresh(); }

bool DriveList::Refresh() {
  bool expected = false;
  if (!refreshing_.compare_exchange_strong(expected, true)) return false;
  RunRefresh();
  refreshing_ = false;
  return true;
}

bool DriveList::StartRefresh(std::function<void()> on_done) {
  bool expected = false;
  if (!refreshing_.compare_exchange_strong(expected, true)) return false;
  std::lock_guard lock(thread_mutex_);
  // The previous thread has cleared the flag, so it is at most returning: joining is quick.
  if (refresh_thread_.joinable()) refresh_thread_.join();
  refresh_thread_ = std::thread([this, on_done = std::move(on_done)] {
    RunRefresh();
    if (on_done) on_done();
    refreshing_ = false;
  });
  return true;
}

void DriveList::WaitForRefresh() {
  std::lock_guard lock(thread_mutex_);
  if (refresh_thread_.joinable()) refresh_thread_.join();
}

void DriveList::RunRefresh() {
  std::vector<DriveEntry> entries = EnumerateDrives(system_);
  IdentifyDrives(system_, disks_, show_label_, &entries);
  ChooseTestPlaces(system_, &entries);
  table_.Replace(std::move(entries));
}

std::vector<std::string> DriveList::ItemTexts() const {
  std::vector<std::string> texts;
  for (const DriveEntry& entry : table_.Entries()) texts.push_back(DriveItemText(entry));
  return texts;
}

}  // namespace korvanel
