// What sysfs, udev and devices tell about disks: a device picks its own model, serial and VPD
// pages, and udev's database comes from rules anyone may install. Every reader gets the same bytes.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>

#include "drives/linux/sysfs_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (korvanel::FirstLine(text).find('\n') != std::string::npos) __builtin_trap();
  if (korvanel::SerialFromVpdPage(text).size() > size) __builtin_trap();
  if (korvanel::UdevProperty(text, "ID_SERIAL_SHORT").size() > size) __builtin_trap();
  if (korvanel::WithoutDeletedMark(text).size() > size) __builtin_trap();
  if (korvanel::UnescapeUdevName(text).size() > size) __builtin_trap();

  // A disk is never smaller in bytes than in sectors.
  uint64_t sectors = 0;
  std::from_chars(text.data(), text.data() + text.size(), sectors);
  const std::string bytes = korvanel::BytesFromSectors(text);
  uint64_t byte_count = 0;
  const auto parsed = std::from_chars(bytes.data(), bytes.data() + bytes.size(), byte_count);
  if (parsed.ec != std::errc() || byte_count < sectors) __builtin_trap();
  return 0;
}
