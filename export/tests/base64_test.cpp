#include "export/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvanel {
namespace {

std::string Encode(CBase64& encoder, const std::string& bytes) {
  encoder.EncodeBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return encoder.EncodedText();
}

TEST(Base64Test, EncodesStandardVectors) {
  struct Case {
    std::string input;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"", ""},
      {"a", "YQ=="},                  // one byte: two pads
      {"ab", "YWI="},                 // two bytes: one pad
      {"abc", "YWJj"},                // a whole group
      {"\xFB\xFF", "+/8="},           // the last two alphabet characters
      {"foobar", "Zm9vYmFy"},         // two whole groups
      {std::string("\0\0\0\0", 4), "AAAAAA=="},  // zero bytes are data, not terminators
  };
  CBase64 encoder;
  for (const Case& c : cases) EXPECT_EQ(Encode(encoder, c.input), c.expected) << c.input;
}

TEST(Base64Test, EmptyInputGivesEmptyTextOnFreshAndUsedEncoder) {
  CBase64 fresh;
  fresh.EncodeText("");
  EXPECT_STREQ(fresh.EncodedText(), "");
  EXPECT_EQ(fresh.EncodedCapacity(), 0u);  // nothing allocated for nothing

  CBase64 used;
  used.EncodeText("abcdef");
  used.EncodeText("");
  EXPECT_STREQ(used.EncodedText(), "");
  EXPECT_EQ(used.EncodedLength(), 0u);
}

TEST(Base64Test, NullTextKeepsPreviousResult) {
  CBase64 encoder;
  encoder.EncodeText("abc");
  encoder.EncodeText(nullptr);
  EXPECT_STREQ(encoder.EncodedText(), "YWJj");
}

TEST(Base64Test, BuffersGrowInStepsAndAreReusedWithoutLeftovers) {
  CBase64 encoder;
  encoder.EncodeText(std::string(2048, 'x').c_str());  // asks for 4096 encoded bytes
  EXPECT_EQ(encoder.EncodedCapacity(), 8192u);
  EXPECT_EQ(encoder.DecodedCapacity(), 4096u);
  const char* buffer = encoder.EncodedText();

  // A shorter second result in the same buffer must not keep the tail of the first.
  encoder.EncodeText("ab");
  EXPECT_EQ(encoder.EncodedText(), buffer);
  EXPECT_EQ(encoder.EncodedCapacity(), 8192u);
  EXPECT_STREQ(encoder.EncodedText(), "YWI=");
}

TEST(Base64Test, DecodingRestoresEveryByteValueAndLength) {
  std::string all;
  for (int value = 0; value < 256; ++value) all += static_cast<char>(value);
  CBase64 coder;
  for (size_t length : {0, 1, 2, 3, 4, 5, 255, 256}) {
    const std::string input = all.substr(0, length);
    const std::string encoded = Encode(coder, input);
    ASSERT_TRUE(coder.DecodeText(encoded.c_str())) << length;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(coder.DecodedData()), coder.DecodedLength()), input);
  }
}

TEST(Base64Test, DecodingSkipsLineBreaksAndRefusesForeignText) {
  CBase64 decoder;
  ASSERT_TRUE(decoder.DecodeText("Zm9v\r\n YmFy\t"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(decoder.DecodedData()), decoder.DecodedLength()), "foobar");

  for (const char* bad : {"Zm9", "Zm9v!mFy", "YQ==YWJj", "Y===", "YW=j"}) {
    EXPECT_FALSE(decoder.DecodeText(bad)) << bad;
    EXPECT_EQ(decoder.DecodedLength(), 0u) << bad;
  }
  EXPECT_FALSE(decoder.DecodeText(nullptr));
}

}  // namespace
}  // namespace korvanel
