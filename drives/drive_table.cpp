#include "drives/drive_table.h"

namespace korvanel {

int DriveTable::Count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(entries_.size());
}

DriveEntry DriveTable::Entry(int index) const {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= static_cast<int>(entries_.size())) return {};
  return entries_[static_cast<size_t>(index)];
}

std::vector<DriveEntry> DriveTable::Entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

void DriveTable::Replace(std::vector<DriveEntry> entries) {
  if (entries.size() > static_cast<size_t>(kCapacity)) entries.resize(kCapacity);
  std::lock_guard lock(mutex_);
  entries_ = std::move(entries);
}

}  // namespace korvanel
