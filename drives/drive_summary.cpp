#include "drives/drive_summary.h"

#include <charconv>
#include <cstdlib>
#include <vector>

#include "common/display_text.h"
#include "drives/drive_texts.h"
#include "results/locale_number.h"

namespace korvanel {
namespace {

constexpr double kBytesPerGiB = 1024.0 * 1024.0 * 1024.0;

// Like printf's "%.Nf" but independent of whatever C locale a GUI toolkit has set.
std::string FixedText(double value, int digits) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits);
  return std::string(text, result.ptr);
}

std::string SpaceLine(const DriveEntry& entry) {
  // Formatted from the signed values, so a failed query (all ones) reads -0.00 GB.
  const double free_gib = static_cast<double>(static_cast<int64_t>(entry.FreeBytes)) / kBytesPerGiB;
  const double total_gib =
      static_cast<double>(static_cast<int64_t>(entry.TotalBytes)) / kBytesPerGiB;
  return " " + DriveText(kDriveTextFree) + " " + FixedText(free_gib, 2) + " GB " +
         DriveText(kDriveTextOf) + " " + FixedText(total_gib, 2) + " GB";
}

std::string PartitionLine(const DriveEntry& entry, const std::string& partition_text) {
  return " " + DriveText(kDriveTextPartition) + ": (" + entry.Device + ") " + partition_text;
}

// The fields come from devices, file systems and other users' mounts: control characters in them
// are shown, not obeyed, and cannot break the summary's lines.
std::string JoinSummaryLines(const std::vector<std::string>& lines) {
  std::string summary;
  for (const std::string& line : lines) {
    if (!summary.empty()) summary += kSummaryLineBreak;
    summary += EscapeControlCharacters(line);
  }
  return summary;
}

}  // namespace

std::string BinarySizeText(int64_t bytes) {
  return FixedText(static_cast<double>(bytes) / kBytesPerGiB, 2) + " GB ";
}

std::string DecimalSizeText(int64_t bytes) {
  return FormatLocaleNumber(FixedText(static_cast<double>(bytes) / 1e9, 6), 0);
}

int64_t ParseSizeText(const std::string& size_text) {
  return std::strtoll(size_text.c_str(), nullptr, 10);
}

std::string BuildDriveSummary(const DriveEntry& entry, const std::string& partition_text) {
  const int64_t size = ParseSizeText(entry.SizeText);
  return JoinSummaryLines({
      " " + entry.Model + " [" + DecimalSizeText(size) + "G]",
      " " + BinarySizeText(size) + " " + entry.Interface + " " + DriveText(kDriveTextDriver) + ": " + entry.Driver,
      PartitionLine(entry, partition_text),
      SpaceLine(entry),
  });
}

std::string BuildVolumeSummary(const DriveEntry& entry, const std::string& partition_text, bool space_known) {
  const bool sized = space_known && entry.TotalBytes > 0;
  const auto size = static_cast<int64_t>(entry.TotalBytes);
  std::vector<std::string> lines = {" " + entry.FileSystem};
  if (sized) lines.push_back(" " + FixedText(static_cast<double>(size) / kBytesPerGiB, 2) + " GB");
  lines.push_back(PartitionLine(entry, partition_text));
  if (sized) lines.push_back(SpaceLine(entry));
  return JoinSummaryLines(lines);
}

std::string SummaryBoxText(const DriveEntry& entry) {
  return entry.Summary.size() >= 2 ? entry.Summary : DriveText(kDriveTextNoInfo);
}

}  // namespace korvanel
