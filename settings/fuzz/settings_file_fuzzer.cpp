// The settings file as anyone may have edited it, in UTF-8 or UTF-16. Reading and editing must
// never crash, a value just set must read back as set while the other keys keep theirs, and a file
// that converts back unchanged keeps its encoding through an edit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/leading_number.h"
#include "settings/ini_encoding.h"
#include "settings/ini_text.h"

using korvanel::FindIniValue;
using korvanel::SetIniValue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const korvanel::IniFileText file = korvanel::DecodeIniFile(bytes);
  const std::string_view text = file.text;
  const auto language = FindIniValue(text, "Program", "lng");
  if (language) korvanel::LeadingDecimal(*language);

  const std::string edited = SetIniValue(text, "Program", "test_time_id", "3");
  if (FindIniValue(edited, "Program", "test_time_id") != "3") __builtin_trap();
  if (FindIniValue(edited, "Program", "lng") != language) __builtin_trap();
  // Setting the same value again changes nothing.
  if (SetIniValue(edited, "Program", "test_time_id", "3") != edited) __builtin_trap();

  if (korvanel::EncodeIniFile(text, file.encoding) == bytes) {
    const auto written = korvanel::EncodeIniFile(edited, file.encoding);
    if (!written) __builtin_trap();
    const korvanel::IniFileText again = korvanel::DecodeIniFile(*written);
    if (again.encoding != file.encoding || again.text != edited) __builtin_trap();
  }
  return 0;
}
