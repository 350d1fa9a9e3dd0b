#pragma once
// The status line of every pass. Pass 0 is the warm-up pass and says so with the "... Initialize"
// text; measured passes count up to the pass count ("Sequential Read 1/2").

#include <string>

#include "engine/engine_texts.h"

namespace korvanel {

std::string SequentialStatus(const EngineTextArray& texts, bool write, int pass, int pass_count);
std::string RandomStatus(const EngineTextArray& texts, bool write, int block_kb, int pass, int pass_count);
std::string QueuedStatus(const EngineTextArray& texts, bool write, int block_kb, int depth, int pass,
                         int pass_count);

// The text of an error box for a failed system call: the text, CR LF, then the code and its
// description as "0x%08X:%s".
std::string IoErrorText(const std::string& text, int code, const std::string& description);

}  // namespace korvanel
