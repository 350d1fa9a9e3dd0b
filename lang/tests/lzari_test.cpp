#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "lang/lzari.h"
#include "lang/lzari_model.h"
#include "lang/tests/lzari_test_support.h"
#include "lang/tools/lzari_encoder.h"

namespace korvanel {
namespace {

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(LzariModel, StartsWithThePublishedTotals) {
  const lzari::Model model;
  EXPECT_EQ(model.PositionCumulative(0), 28568u);
  EXPECT_EQ(model.PositionCumulative(lzari::kRingSize), 0u);
  EXPECT_EQ(model.SymbolCumulative(0), 314u);
  EXPECT_EQ(LZARI().model().SymbolCumulative(0), 314u);
}

TEST(LzariModel, HalvesCountsBeforeTheTotalPassesItsLimit) {
  lzari::Model model;
  std::uint32_t previous = model.SymbolCumulative(0);
  bool rescaled = false;
  for (int i = 0; i < 40000; ++i) {
    model.Update(model.SymbolOf('e'));
    const std::uint32_t total = model.SymbolCumulative(0);
    ASSERT_LE(total, lzari::kMaxCumulative);
    rescaled |= total < previous;
    previous = total;
  }
  EXPECT_TRUE(rescaled);
  // The most frequent character moved to the front of the sorted table.
  EXPECT_EQ(model.SymbolOf('e'), 1);
}

struct RoundTripCase {
  const char* name;
  Bytes input;
};

// Keeps test listings readable: the case's name instead of its bytes.
void PrintTo(const RoundTripCase& round_trip, std::ostream* out) { *out << round_trip.name; }

class LzariRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(LzariRoundTrip, DecodesToTheInput) {
  const Bytes& input = GetParam().input;
  const Bytes stream = LzariEncode(input);
  ASSERT_GE(stream.size(), 4u);
  EXPECT_EQ(LzariDecode(stream), input);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LzariRoundTrip,
    testing::Values(
        RoundTripCase{"empty", {}},
        RoundTripCase{"one_byte", BytesOf("A")},
        // Starts with blanks, which match the blank-filled dictionary before any input.
        RoundTripCase{"leading_blanks", BytesOf(std::string(100, ' ') + "x" + std::string(70, ' '))},
        // Matches one byte back that overlap their own output, and the longest match many times over.
        RoundTripCase{"long_run", BytesOf("ab" + std::string(100000, 'b') + "c")},
        RoundTripCase{"random", RandomBytes(150000, 7, 256)},
        // Few symbols, many matches of every length and distance, across many wraps of the ring.
        RoundTripCase{"small_alphabet", RandomBytes(150000, 11, 3)},
        RoundTripCase{"zeros_and_blanks", RandomBytes(20000, 5, 2)}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

TEST(Lzari, RoundTripsTheLanguageTable) {
  const Bytes table = ReadFile(KORVANEL_LANGUAGE_TABLE_FILE);
  ASSERT_GT(table.size(), 10000u);
  const Bytes stream = LzariEncode(table);
  EXPECT_LT(stream.size(), table.size() / 2);
  EXPECT_EQ(LzariDecode(stream), table);
}

TEST(Lzari, CodesARunAsOneMatchOverlappingItsOwnOutput) {
  // After "xy" only one "y" lies in the dictionary, so the 60 further ones can only come from a match
  // at distance 1 that reads what it writes. Three symbols and a position fit in a few bytes; sixty
  // literals would not.
  const Bytes input = BytesOf("xy" + std::string(60, 'y'));
  const Bytes stream = LzariEncode(input);
  EXPECT_LE(stream.size(), 4u + 6u);
  EXPECT_EQ(LzariDecode(stream), input);
}

TEST(Lzari, StoresAtMostCapacityMinusOneBytesButDecodesToTheEnd) {
  const Bytes input = RandomBytes(5000, 3, 16);
  const Bytes stream = LzariEncode(input);
  Bytes out(100, 0xEE);
  LZARI decoder;
  EXPECT_EQ(decoder.DecodeFromMemory(stream, out.data(), out.size()), 99u);
  EXPECT_EQ(decoder.unpacked_size(), 5000u);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 99, input.begin()));
  EXPECT_EQ(out[99], 0xEE);  // the sink does not terminate the output
}

TEST(Lzari, HeaderOfZeroOrTooShortInputYieldsNothing) {
  Bytes out(16, 0xEE);
  LZARI decoder;
  EXPECT_EQ(decoder.DecodeFromMemory(Bytes{0, 0, 0, 0, 0xFF, 0x12}, out.data(), out.size()), 0u);
  EXPECT_EQ(decoder.unpacked_size(), 0u);
  EXPECT_EQ(decoder.DecodeFromMemory(Bytes{5, 0}, out.data(), out.size()), 0u);
  EXPECT_EQ(out, Bytes(16, 0xEE));
}

TEST(Lzari, CutInputStillDecodesToTheDeclaredSize) {
  // Bits past the end read as 1, so a damaged stream ends with garbage, not with a hang or a crash.
  Bytes stream = LzariEncode(RandomBytes(3000, 9, 256));
  stream.resize(stream.size() / 3);
  LZARI decoder;
  Bytes out(4000);
  EXPECT_EQ(decoder.DecodeFromMemory(stream, out.data(), out.size()), 3000u);
}

TEST(Lzari, RefusesToAllocateForAHugeDeclaredSize) {
  EXPECT_TRUE(LzariDecode(Bytes{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}, 1 << 20).empty());
}

}  // namespace
}  // namespace korvanel
