#pragma once
// The drive list of the panel and the command line: the shared drive table and its refresh on a
// thread of its own. One instance lives as long as the program.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "drives/disk_info.h"
#include "drives/drive_system.h"
#include "drives/drive_table.h"

namespace korvanel {

class DriveList {
 public:
  // `system` must outlive the list.
  explicit DriveList(DriveSystem& system);
  // Waits for a running refresh.
  ~DriveList();
  DriveList(const DriveList&) = delete;
  DriveList& operator=(const DriveList&) = delete;

  // Whether summaries name the volume label (the "no_vol_label" setting, inverted); applies from
  // the next refresh.
  void SetShowVolumeLabel(bool show) { show_label_ = show; }

  // Lists, identifies and describes the drives and then installs the new table in one step.
  // Returns false at once when another refresh is running.
  bool Refresh();
  // Runs Refresh on a thread of its own and calls `on_done` on that thread when the new table is
  // installed (a StartRefresh from inside `on_done` is refused). False when one is running.
  bool StartRefresh(std::function<void()> on_done);
  bool IsRefreshing() const { return refreshing_; }
  // Blocks until a refresh started by StartRefresh has ended; never call it from `on_done`.
  void WaitForRefresh();

  const DriveTable& Table() const { return table_; }
  // Item texts of the drive list, in table order.
  std::vector<std::string> ItemTexts() const;

 private:
  void RunRefresh();

  DriveSystem& system_;
  DriveTable table_;
  CDiskInfo disks_;  // used only by the one refresh that holds `refreshing_`
  std::atomic<bool> show_label_{true};
  std::atomic<bool> refreshing_{false};
  std::thread refresh_thread_;
  std::mutex thread_mutex_;
};

}  // namespace korvanel
