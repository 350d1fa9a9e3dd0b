// /proc/self/mountinfo lines: mount points and sources come from whoever mounted them (any user can
// make a FUSE mount with any name). Parsing and classifying must never crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "drives/linux/mount_filter.h"
#include "drives/linux/mount_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const korvanel::MountRecord& record : korvanel::ParseMountTable(text)) {
    korvanel::ClassifyMount(record);
    record.DeviceNumber();
    // Unescaping only ever shortens a field.
    if (record.mount_point.size() > size || record.source.size() > size) __builtin_trap();
  }
  return 0;
}
