#pragma once
// Writes a whole file under a temporary name beside it and renames it into place, so a reader
// sees either the old file or the complete new one, never a part.

#include <string>
#include <vector>

#include "common/sys_error.h"

namespace korvanel {

// Writes `pieces` one after the other to `path` (to a link's target when `path` is a link, so the
// link stays), replacing what was there; the old file's permissions carry over. On failure the old
// file is left as it was, no temporary file remains, and the error is returned.
SysError ReplaceFileWithPieces(const std::string& path, const std::vector<std::string>& pieces);

}  // namespace korvanel
