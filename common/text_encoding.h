#pragma once
// Conversions between the encodings the language table, translation files and settings files come
// in and the UTF-8 text that Korvanel uses everywhere.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvanel {

enum class ByteOrder { kLittleEndian, kBigEndian };

// UTF-16 bytes to UTF-8. A trailing odd byte is ignored; unpaired surrogates become U+FFFD. Never
// fails.
std::string Utf16ToUtf8(std::string_view bytes, ByteOrder order);
inline std::string Utf16LeToUtf8(std::string_view bytes) { return Utf16ToUtf8(bytes, ByteOrder::kLittleEndian); }

// UTF-8 to UTF-16 bytes; nullopt when `text` is not valid UTF-8.
std::optional<std::string> Utf8ToUtf16(std::string_view text, ByteOrder order);
inline std::optional<std::string> Utf8ToUtf16Le(std::string_view text) {
  return Utf8ToUtf16(text, ByteOrder::kLittleEndian);
}

// The code point of the UTF-8 sequence at `pos`, advancing `pos` past it; nullopt (and `pos`
// unchanged) for a malformed, cut, overlong or surrogate sequence or one beyond U+10FFFF.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& pos);

bool IsValidUtf8(std::string_view text);

// Windows-1252 (the Western "ANSI" code page) to UTF-8; its five unassigned bytes become U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);

// Number of code points in valid UTF-8 text (continuation bytes are not counted).
std::size_t CountCodePoints(std::string_view text);

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t code_point);

}  // namespace korvanel
