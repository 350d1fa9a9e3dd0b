#include "drives/linux/mount_table.h"

#include <charconv>
#include <map>
#include <sstream>

#include "drives/linux/sysfs_files.h"

namespace korvanel {
namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The kernel writes blank, tab, newline and backslash in paths as \040, \011, \012 and \134.
std::string Unescape(const std::string& field) {
  std::string text;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
        IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
      const int code = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      text += static_cast<char>(code);
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

bool HasOption(const std::string& options, const std::string& wanted) {
  std::istringstream list(options);
  std::string option;
  while (std::getline(list, option, ',')) {
    if (option == wanted) return true;
  }
  return false;
}

bool ParseDeviceNumber(const std::string& text, unsigned* major, unsigned* minor) {
  const char* end = text.data() + text.size();
  const auto [colon, major_error] = std::from_chars(text.data(), end, *major);
  if (major_error != std::errc() || colon == end || *colon != ':') return false;
  const auto [rest, minor_error] = std::from_chars(colon + 1, end, *minor);
  return minor_error == std::errc() && rest == end;
}

// Fields: id parent major:minor root mount-point options [optional...] - type source super-options
bool ParseLine(const std::string& line, MountRecord* record) {
  std::istringstream fields(line);
  std::string parent, device, root, options, field;
  if (!(fields >> record->mount_id >> parent >> device >> root >> record->mount_point >> options)) {
    return false;
  }
  while (fields >> field && field != "-") {
  }
  std::string super_options;
  if (field != "-" || !(fields >> record->file_system >> record->source)) return false;
  fields >> super_options;
  if (!ParseDeviceNumber(device, &record->major, &record->minor)) return false;
  record->mount_point = Unescape(record->mount_point);
  record->source = Unescape(record->source);
  record->read_only = HasOption(options, "ro") || HasOption(super_options, "ro");
  return true;
}

}  // namespace

std::vector<MountRecord> ParseMountTable(const std::string& text) {
  std::vector<MountRecord> records;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    MountRecord record;
    if (ParseLine(line, &record)) records.push_back(std::move(record));
  }
  return records;
}

std::vector<MountRecord> ReadMountTable(const std::string& path) {
  // Machines with containers can have thousands of mounts.
  constexpr size_t kMaxMountTableBytes = 16 << 20;
  return ParseMountTable(ReadRawAttribute(path, kMaxMountTableBytes));
}

std::vector<MountRecord> VisibleMounts(const std::vector<MountRecord>& records) {
  std::map<std::string, size_t> last_at;
  for (size_t i = 0; i < records.size(); ++i) last_at[records[i].mount_point] = i;
  std::vector<MountRecord> visible;
  for (size_t i = 0; i < records.size(); ++i) {
    if (last_at[records[i].mount_point] == i) visible.push_back(records[i]);
  }
  return visible;
}

const MountRecord* FindMountByPrefix(const std::vector<MountRecord>& records, const std::string& path) {
  const MountRecord* best = nullptr;
  for (const MountRecord& record : records) {
    const std::string& point = record.mount_point;
    const bool holds = point == "/" || path == point || path.rfind(point + "/", 0) == 0;
    if (holds && (best == nullptr || point.size() >= best->mount_point.size())) best = &record;
  }
  return best;
}

}  // namespace korvanel
