#pragma once
// The drives of the drive list, shared between the refresh thread and its readers. A refresh
// replaces the whole table at once, so a reader never sees an entry half rewritten.

#include <mutex>
#include <vector>

#include "drives/drive_entry.h"

namespace korvanel {

class DriveTable {
 public:
  static constexpr int kCapacity = 32;

  int Count() const;
  // A copy of entry `index`; an empty entry when `index` is outside 0 .. Count()-1.
  DriveEntry Entry(int index) const;
  // A copy of all entries in list order.
  std::vector<DriveEntry> Entries() const;
  // Installs `entries` (those beyond kCapacity are dropped).
  void Replace(std::vector<DriveEntry> entries);

 private:
  mutable std::mutex mutex_;
  std::vector<DriveEntry> entries_;
};

}  // namespace korvanel
