#include "settings/ini_encoding.h"

#include "common/text_encoding.h"

namespace korvanel {
namespace {

constexpr std::string_view kLittleEndianMark = "\xFF\xFE";
constexpr std::string_view kBigEndianMark = "\xFE\xFF";

}  // namespace

IniFileText DecodeIniFile(std::string_view bytes) {
  if (bytes.starts_with(kLittleEndianMark)) {
    return {Utf16ToUtf8(bytes.substr(2), ByteOrder::kLittleEndian), IniEncoding::kUtf16LittleEndian};
  }
  if (bytes.starts_with(kBigEndianMark)) {
    return {Utf16ToUtf8(bytes.substr(2), ByteOrder::kBigEndian), IniEncoding::kUtf16BigEndian};
  }
  return {std::string(bytes), IniEncoding::kUtf8};
}

std::optional<std::string> EncodeIniFile(std::string_view text, IniEncoding encoding) {
  if (encoding == IniEncoding::kUtf8) return std::string(text);
  const bool little = encoding == IniEncoding::kUtf16LittleEndian;
  const std::optional<std::string> units =
      Utf8ToUtf16(text, little ? ByteOrder::kLittleEndian : ByteOrder::kBigEndian);
  if (!units) return std::nullopt;
  return std::string(little ? kLittleEndianMark : kBigEndianMark) + *units;
}

}  // namespace korvanel
