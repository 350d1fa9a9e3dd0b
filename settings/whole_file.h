#pragma once
// Whole-file reading and replacing for small text files that must never be seen half-written.

#include <optional>
#include <string>

namespace korvanel {

// The whole content of `path`; nullopt when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file at `path` (a link's target when `path` is a link) with `content`: a new file in
// the same directory is written and renamed over it, so readers see the old or the new content,
// never a part. The old file's permissions carry over. False on failure, the old file unchanged
// and no new file left behind.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

}  // namespace korvanel
