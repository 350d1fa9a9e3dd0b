#include "drives/linux/sysfs_texts.h"

#include <charconv>
#include <cstdint>
#include <string_view>

namespace korvanel {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `text` without blanks, tabs, newlines and NULs at either end.
std::string TrimBlanks(const std::string& text) {
  constexpr const char* kBlanks = " \t\r\n\v\f";
  const auto is_blank = [](char c) {
    return c == '\0' || std::string_view(kBlanks).find(c) != std::string_view::npos;
  };
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::string FirstLine(const std::string& content) { return TrimBlanks(content.substr(0, content.find('\n'))); }

std::string SerialFromVpdPage(const std::string& page) {
  if (page.size() < 4 || static_cast<unsigned char>(page[1]) != 0x80) return {};
  const size_t length = static_cast<unsigned char>(page[2]) * 256u + static_cast<unsigned char>(page[3]);
  return TrimBlanks(page.substr(4, length));
}

std::string UdevProperty(const std::string& database, const std::string& key) {
  const std::string marker = "E:" + key + "=";
  const size_t start = database.find(marker);
  if (start == std::string::npos) return {};
  const size_t value = start + marker.size();
  const size_t end = database.find('\n', value);
  return TrimBlanks(database.substr(value, end == std::string::npos ? std::string::npos : end - value));
}

std::string BytesFromSectors(const std::string& sectors) {
  uint64_t count = 0;
  std::from_chars(sectors.data(), sectors.data() + sectors.size(), count);
  // A damaged or made-up attribute can claim more than 64 bits hold; wrapping would make it small.
  return std::to_string(count > UINT64_MAX / 512 ? UINT64_MAX : count * 512);
}

std::string WithoutDeletedMark(std::string file) {
  const std::string deleted = " (deleted)";
  if (file.size() > deleted.size() && file.ends_with(deleted)) file.resize(file.size() - deleted.size());
  return file;
}

std::string UnescapeUdevName(const std::string& name) {
  std::string text;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexValue(name[i + 2]) >= 0 &&
        HexValue(name[i + 3]) >= 0) {
      text += static_cast<char>(HexValue(name[i + 2]) * 16 + HexValue(name[i + 3]));
      i += 3;
    } else {
      text += name[i];
    }
  }
  return text;
}

}  // namespace korvanel
