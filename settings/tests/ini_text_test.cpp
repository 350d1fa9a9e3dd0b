#include "settings/ini_text.h"

#include <gtest/gtest.h>

namespace korvanel {
namespace {

struct FindCase {
  const char* text;
  std::optional<std::string> expected;  // value of "lng" in section "Program"
};

TEST(IniTextTest, FindsValuesAsTolerantlyAsProfileFunctions) {
  const FindCase cases[] = {
      {"[Program]\nlng=3\n", "3"},
      {"[program]\r\nLNG=3\r\n", "3"},                        // names ignore case; CRLF lines
      {"  [ Program ]  \n  lng   =   3  \n", "3"},           // blanks around names and values
      {"[Program]\nlng=\n", ""},                             // present but empty
      {"[Program]\nlng=\"quoted value\"\n", "quoted value"},  // matching quotes dropped
      {"[Program]\nlng='3\n", "'3"},                         // an unmatched quote stays
      {"[Program]\nlng=1\nlng=2\n", "1"},                    // the first key wins
      {"[Program]\n[Other]\nlng=4\n[Program]\nlng=5\n", std::nullopt},  // first section only
      {"[Other]\nlng=4\n", std::nullopt},
      {"[Program]\n;lng=4\nlanguage=2\n", std::nullopt},    // comments and longer names
      {"\xEF\xBB\xBF[Program]\nlng=6", "6"},                 // BOM, unterminated last line
      {"[Program]\nlng=6\r", "6"},                          // a last line ended by a lone CR
      {"", std::nullopt},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(FindIniValue(c.text, "Program", "lng"), c.expected) << c.text;
  }
}

struct EditCase {
  const char* before;
  const char* after;  // after setting "lng" to 9 in section "Program"
};

TEST(IniTextTest, EditsKeepEveryOtherLineByteForByte) {
  const EditCase cases[] = {
      // the key's line is rewritten in place; comments, other sections and order stay
      {"; mine\n[Other]\nlng=1\n[Program]\n  LNG = 2 \nx=y\n\n[Tail]\nz=1",
       "; mine\n[Other]\nlng=1\n[Program]\nlng=9\nx=y\n\n[Tail]\nz=1"},
      // a missing key goes after the section's last line, before the blank line
      {"[Program]\r\nx=y\r\n\r\n[Tail]\r\n", "[Program]\r\nx=y\r\nlng=9\r\n\r\n[Tail]\r\n"},
      // a missing section is appended, the unterminated last line terminated first
      {"[Other]\nz=1", "[Other]\nz=1\n[Program]\nlng=9\n"},
      {"", "[Program]\nlng=9\n"},
      {"\xEF\xBB\xBF[Program]\nlng=1\n", "\xEF\xBB\xBF[Program]\nlng=9\n"},
      {"[Program]", "[Program]\nlng=9\n"},
      // a last line ended by a lone CR keeps its value when a line follows (found by fuzzing)
      {"[Program]\r\nx=y\r", "[Program]\r\nx=y\r\nlng=9\r\n"},
      {"[Program]\nx=y\r", "[Program]\nx=y\r\nlng=9\n"},
  };
  for (const EditCase& c : cases) {
    EXPECT_EQ(SetIniValue(c.before, "Program", "lng", "9"), c.after) << c.before;
  }
}

}  // namespace
}  // namespace korvanel
