#include "export/result_query.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "engine/rate_table.h"
#include "export/base64.h"

namespace korvanel {
namespace {

// The site takes each test's read and write rate in this order, not in the order they are measured.
constexpr TestId kSiteRateOrder[] = {kTestSequential, kTestQueued4K, kTestRandom4K, kTestRandom512K, kTestAccessTime};

// Fixed notation with six decimals; unlike printf this never takes "," from the global locale.
std::string RateText(double rate) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, rate, std::chars_format::fixed, 6);
  return std::string(buffer, result.ptr);
}

std::string OsVersionText(const OsVersion& os) {
  return std::to_string(os.major) + "." + std::to_string(os.minor) + "." + std::to_string(os.build);
}

std::string Base64Of(CBase64& encoder, const std::string& bytes) {
  encoder.EncodeBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return std::string(encoder.EncodedText(), encoder.EncodedLength());
}

bool DecodeInto(CBase64& decoder, std::string_view text, std::string* bytes) {
  if (!decoder.DecodeBytes(text.data(), text.size())) return false;
  bytes->assign(reinterpret_cast<const char*>(decoder.DecodedData()), decoder.DecodedLength());
  return true;
}

}  // namespace

std::string BuildResultQuery(const ComparisonReportInput& input) {
  const DriveEntry& drive = input.drive;
  const BenchResults& rates = input.results;
  std::string query;
  query += "Vol=" + drive.Root;
  query += "&Bytes=" + drive.SizeText;
  query += "&Model=" + drive.Model;
  query += "&hd=" + drive.Hd;
  query += "&FreeSpace=" + std::to_string(drive.FreeBytes);
  query += "&FileSystemName=" + drive.FileSystem;
  query += "&TootalSpace=" + std::to_string(drive.TotalBytes);  // the site expects this spelling
  query += "&Interface=" + drive.Interface;
  query += "&DRIVER=" + drive.Driver;
  query += "&test_time=" + std::to_string(input.test_time);
  query += "&SNR=" + drive.SerialNumber;
  query += "&Program=" + input.program;
  query += "&m_test_id=" + std::to_string(input.test_id);
  for (TestId id : kSiteRateOrder) {
    const TestRates& test = *FindTestRates(id);
    for (const ReportedRate& rate : {test.read, test.write}) {
      query += std::string("&") + rate.key + "=" + RateText(rates.*rate.field);
    }
  }
  query += "&OS=" + OsVersionText(input.os);
  query += "&SERVICE=" + input.os.service_pack;
  query += "&ENDE=ENDE";
  return query;
}

std::string EncodeForTransfer(std::string_view query) {
  CBase64 encoder;  // one encoder for both rounds, so the second reuses the first's buffers
  std::string first = Base64Of(encoder, std::string(query));
  std::reverse(first.begin(), first.end());
  return Base64Of(encoder, first);
}

std::string DecodeTransfer(std::string_view encoded) {
  CBase64 decoder;
  std::string reversed;
  std::string query;
  if (!DecodeInto(decoder, encoded, &reversed)) return {};
  std::reverse(reversed.begin(), reversed.end());
  if (!DecodeInto(decoder, reversed, &query)) return {};
  return query;
}

}  // namespace korvanel
