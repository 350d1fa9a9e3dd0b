#pragma once
// The status line of every pass. Pass 0 is the warm-up pass and says so with the "... Initialize"
// text; measured passes count up to the pass count ("Sequential Read 1/2").

#include <string>

#include "engine/engine_texts.h"

namespace korvanel {

// What every status line of a run in an encrypted directory says, and the note the host is handed
// once: Windows carries out overlapped writes to encrypted files one at a time.
inline constexpr const char* kEncryptedNote = " (encrypted folder, writes not queued)";
inline constexpr const char* kEncryptedNotice =
    "the test directory is encrypted (EFS): Windows carries out its overlapped writes one at a time, so the "
    "64 X 4K write rate is that of one request at a time";

std::string SequentialStatus(const EngineTextArray& texts, bool write, int pass, int pass_count);
std::string RandomStatus(const EngineTextArray& texts, bool write, int block_kb, int pass, int pass_count);
std::string QueuedStatus(const EngineTextArray& texts, bool write, int block_kb, int depth, int pass,
                         int pass_count);

// The text of an error box for a failed system call: the text, CR LF, then the code and its
// description as "0x%08X:%s".
std::string IoErrorText(const std::string& text, int code, const std::string& description);

}  // namespace korvanel
