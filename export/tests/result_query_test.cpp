#include "export/result_query.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

#include "export/tests/sample_report_input.h"

namespace korvanel {
namespace {

using testing::SampleReportInput;

TEST(ResultQueryTest, ListsAllKeysInOrderWithTheirFormats) {
  EXPECT_EQ(BuildResultQuery(SampleReportInput()),
            "Vol=/mnt/data&Bytes=500107862016&Model=Samsung SSD 860 EVO 500GB&hd=&FreeSpace=123456789012"
            "&FileSystemName=ext4&TootalSpace=500107862016&Interface=SATA&DRIVER=ahci&test_time=2"
            "&SNR=S3Z1NB0K123456&Program=Korvanel 1.84&m_test_id=6&SR=512.345679&SW=480.250000"
            "&RR4KB64QD=350.000000&RW4KB64QD=300.125000&RR4KB=35.750000&RW4KB=80.000000"
            "&RR512KB=400.500000&RW512KB=410.000000&RR=35.750000&RW=80.000000&OS=6.1.0&SERVICE=&ENDE=ENDE");
}

TEST(ResultQueryTest, UnidentifiedDriveBeforeAnyRunSendsEmptyValuesAndZeroRates) {
  ComparisonReportInput input;
  input.drive.Root = "/media/stick";
  input.drive.Driver = "?";
  input.drive.FreeBytes = std::numeric_limits<uint64_t>::max();  // the free-space query failed
  input.program = "Korvanel 1.84";
  input.os = {6, 1, 0, "SP1"};
  EXPECT_EQ(BuildResultQuery(input),
            "Vol=/media/stick&Bytes=&Model=&hd=&FreeSpace=18446744073709551615&FileSystemName="
            "&TootalSpace=0&Interface=&DRIVER=?&test_time=1&SNR=&Program=Korvanel 1.84&m_test_id=1"
            "&SR=0.000000&SW=0.000000&RR4KB64QD=0.000000&RW4KB64QD=0.000000&RR4KB=0.000000"
            "&RW4KB=0.000000&RR512KB=0.000000&RW512KB=0.000000&RR=0.000000&RW=0.000000&OS=6.1.0"
            "&SERVICE=SP1&ENDE=ENDE");
}

TEST(ResultQueryTest, RatesKeepTheDecimalPointUnderACommaLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const std::string query = BuildResultQuery(SampleReportInput());
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_NE(query.find("&SR=512.345679&SW=480.250000&"), std::string::npos) << query;
}

TEST(TransferEncodingTest, IsBase64OfTheReversedBase64) {
  // Base64("abc") = "YWJj", reversed "jJWY", whose Base64 is "akpXWQ==".
  EXPECT_EQ(EncodeForTransfer("abc"), "akpXWQ==");
  EXPECT_EQ(EncodeForTransfer(""), "");
}

TEST(TransferEncodingTest, CarriesRawAmpersandsAndUtf8BackUnchanged) {
  ComparisonReportInput input = SampleReportInput();
  input.drive.Model = "Fast & Safe Überdisk 2TB";
  const std::string query = BuildResultQuery(input);
  const std::string encoded = EncodeForTransfer(query);

  EXPECT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
            std::string::npos);
  EXPECT_EQ(DecodeTransfer(encoded), query);
  EXPECT_NE(DecodeTransfer(encoded).find("&Model=Fast & Safe Überdisk 2TB&hd="), std::string::npos);
  EXPECT_EQ(DecodeTransfer("not base64!"), "");
}

}  // namespace
}  // namespace korvanel
