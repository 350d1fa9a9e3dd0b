#pragma once
// The encodings a Korvanel.ini comes in: UTF-8 (with or without a mark, or plain ASCII) as
// Korvanel writes it, or UTF-16 with a byte-order mark as Windows' profile functions write it. The
// INI text is edited as UTF-8 and written back in the encoding the file had.

#include <optional>
#include <string>
#include <string_view>

namespace korvanel {

enum class IniEncoding { kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

struct IniFileText {
  std::string text;  // UTF-8; a UTF-16 file's mark is gone, a UTF-8 mark stays (SetIniValue keeps it)
  IniEncoding encoding = IniEncoding::kUtf8;
};

// The text of a file's bytes: UTF-16 when they start with the mark FF FE or FE FF, else as they are.
IniFileText DecodeIniFile(std::string_view bytes);

// The bytes of `text` in `encoding`, the mark first for UTF-16; nullopt when UTF-16 is asked for
// and `text` is no valid UTF-8.
std::optional<std::string> EncodeIniFile(std::string_view text, IniEncoding encoding);

}  // namespace korvanel
