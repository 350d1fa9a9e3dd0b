#pragma once
// Reading sysfs attributes and links. Every function returns an empty result for anything missing
// or unreadable, since sysfs differs between kernels and devices.

#include <string>
#include <vector>

namespace korvanel {

// The attribute's first line without surrounding blanks.
std::string ReadAttribute(const std::string& path);

// The whole file, bytes as they are (binary attributes such as vpd_pg80); at most `max_bytes`.
std::string ReadRawAttribute(const std::string& path, size_t max_bytes = 64 * 1024);

// The canonical absolute path, with every link resolved.
std::string ResolvePath(const std::string& path);

// The last component of a link's target: "ahci" for driver -> ../../bus/pci/drivers/ahci.
std::string LinkTargetName(const std::string& link);

// The names in a directory, sorted.
std::vector<std::string> ListDirectory(const std::string& directory);

bool PathExists(const std::string& path);

// "/a/b" for "/a/b/c"; "/" for "/a".
std::string ParentPath(const std::string& path);
std::string BaseName(const std::string& path);

}  // namespace korvanel
