#include <gtest/gtest.h>

#include <string>

#include "common/text_encoding.h"

namespace korvanel {
namespace {

TEST(TextEncoding, Utf16RoundTripKeepsEveryPlane) {
  const std::string text = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, ä, €, an emoji (surrogate pair)
  const auto utf16 = Utf8ToUtf16Le(text);
  ASSERT_TRUE(utf16.has_value());
  EXPECT_EQ(*utf16, std::string("A\0\xE4\0\xAC\x20\x3D\xD8\x00\xDE", 10));
  EXPECT_EQ(Utf16LeToUtf8(*utf16), text);
  EXPECT_EQ(CountCodePoints(text), 4u);
}

TEST(TextEncoding, BigEndianUtf16SwapsEachUnit) {
  const std::string text = "A\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, €, an emoji (surrogate pair)
  const auto utf16 = Utf8ToUtf16(text, ByteOrder::kBigEndian);
  ASSERT_TRUE(utf16.has_value());
  EXPECT_EQ(*utf16, std::string("\0A\x20\xAC\xD8\x3D\xDE\x00", 8));
  EXPECT_EQ(Utf16ToUtf8(*utf16, ByteOrder::kBigEndian), text);
}

TEST(TextEncoding, DamagedUtf16BecomesReplacementCharacters) {
  // A lone high surrogate, a lone low surrogate, and an odd trailing byte.
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8" "a\0" "\x00\xDE" "b", 7)), "\xEF\xBF\xBD" "a\xEF\xBF\xBD");
}

TEST(TextEncoding, RejectsMalformedUtf8) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA4"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut short
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // encoded surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE4\x20\x20"));      // Latin-1 "ä" followed by blanks
  EXPECT_FALSE(Utf8ToUtf16Le("\xFF").has_value());
}

TEST(TextEncoding, Windows1252MapsItsOwnUpperHalf) {
  EXPECT_EQ(Windows1252ToUtf8("Gr\xF6\xDF" "e \x80 \x93x\x94 \x81"),
            "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xEF\xBF\xBD");
}

}  // namespace
}  // namespace korvanel
