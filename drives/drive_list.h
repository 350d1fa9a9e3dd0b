#pragma once
// The drive list of the panel: the shared drive table, its refresh on a thread of its own, and the
// selection that resets the results when it changes. One instance lives as long as the program.

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
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

  // Reacts to the drive list's selection `index` (-1 for none). Unless `force`, an unchanged
  // selection does nothing and gives nullopt. Otherwise calls `on_results_reset` and returns the
  // text for the summary box: the entry's summary, or "No drive Info :-(" when it has none;
  // nullopt (leave the box as it is) when `index` is outside the table's 32 slots.
  std::optional<std::string> SelectDrive(int index, const std::function<void()>& on_results_reset,
                                         bool force = false);

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
  std::mutex selection_mutex_;
  int last_selection_ = -1;
};

}  // namespace korvanel
