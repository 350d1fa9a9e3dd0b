#pragma once
// Whole-file reading and replacing for the settings file, which must never be seen half-written.

#include <cstddef>
#include <optional>
#include <string>

namespace korvanel {

// A settings file is far below this; anything larger is not one of ours.
inline constexpr size_t kMaxSettingsFileBytes = 64 * 1024;

// The whole content of the regular file at `path`; nullopt when it is missing, is not a regular
// file (a directory, a device, a FIFO), is larger than kMaxSettingsFileBytes or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `content` by the rules of platform::ReplaceFile: a new file in
// the same directory is written and renamed over it, so readers see the old or the new content,
// never a part; the old file's permissions carry over; a link is followed only when it and its
// target are the user's own. False on failure, the old file unchanged and no new file left behind.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

}  // namespace korvanel
