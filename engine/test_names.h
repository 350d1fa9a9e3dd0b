#pragma once
// The names of the test directory and file: "Korvanel" and eight upper-case hexadecimal digits,
// the file with ".tmp" appended.

#include <cstdint>
#include <string>
#include <string_view>

namespace korvanel {

// "Korvanel%08X" of `number`.
std::string TestDirectoryName(uint32_t number);
// "Korvanel%08X.tmp" of `number`.
std::string TestFileName(uint32_t number);

// `name` inside the directory `drive_dir`, joined with the separator the drive's path uses.
std::string PathInDrive(const std::string& drive_dir, const std::string& name);
// The test directory's path for a tick: "<drive>/Korvanel%08X" ("<drive>\Korvanel%08X" on Windows).
std::string TestDirectoryPath(const std::string& drive_dir, uint32_t tick);
// The test file's path inside it: "<dir>/Korvanel%08X.tmp".
std::string TestFilePath(const std::string& dir_path, uint32_t tick);

// Whether a name follows the pattern of TestDirectoryName or TestFileName.
bool IsTestDirectoryName(std::string_view name);
bool IsTestFileName(std::string_view name);

}  // namespace korvanel
