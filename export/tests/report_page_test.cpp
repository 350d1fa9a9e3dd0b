#include "export/report_page.h"

#include <gtest/gtest.h>

#include <string>

#include "export/comparison_report.h"
#include "export/result_query.h"
#include "export/tests/sample_report_input.h"

namespace korvanel {
namespace {

std::string Joined(const std::vector<std::string>& pieces) {
  std::string text;
  for (const std::string& piece : pieces) text += piece;
  return text;
}

std::string ValueOfField(const std::string& page, const std::string& name) {
  const std::string marker = "name='" + name + "' value=\"";
  const size_t start = page.find(marker);
  if (start == std::string::npos) return "<missing>";
  const size_t value = start + marker.size();
  return page.substr(value, page.find('"', value) - value);
}

TEST(ReportHeadingTest, AmpersandBreaksTheLineAndMarkupStaysText) {
  EXPECT_EQ(BuildReportHeading("ST1000DM003"), "ST1000DM003");
  EXPECT_EQ(BuildReportHeading("Fast & Safe"), "Fast <br>\n Safe");
  EXPECT_EQ(BuildReportHeading(""), "");
  // A device reports its own model text, so it must not be able to add elements or script.
  EXPECT_EQ(BuildReportHeading("<script>x='1'</script>\"&"),
            "&lt;script&gt;x=&#39;1&#39;&lt;/script&gt;&quot;<br>\n");
}

TEST(ReportPageTest, PiecesFormTheExactPage) {
  EXPECT_EQ(Joined(ReportPagePieces("Fast <br>\n Safe", "http://compare.example/", "QUJD")),
            "<table align=center><tr><td>\n"
            "<br>\n"
            "Fast <br>\n Safe"
            "<form id=xxx action='http://compare.example/?DriveChartsCompare' method=post><br>\n"
            "<input type=hidden name='korvaneldata_img' value=\"\">\n"
            "<input type=hidden name='korvaneldata' value=\"QUJD\">\n"
            "<input type=submit name='xxxx' value=\"Compare Results on Quenlidart Homepage\"><br>\n"
            "</form></td></tr></table>\n"
            "<script>\n"
            "el_f=document.getElementById(\"xxx\"); el_f.submit();\n"
            "</script>\n");
}

TEST(ReportPageTest, WholePageCarriesTheEncodedQueryAndAnEmptyImageField) {
  const ComparisonReportInput input = testing::SampleReportInput();
  const std::string page = BuildComparisonReportPage(input);
  EXPECT_EQ(ValueOfField(page, "korvaneldata_img"), "");
  EXPECT_EQ(DecodeTransfer(ValueOfField(page, "korvaneldata")), BuildResultQuery(input));
  EXPECT_NE(page.find("<br>\nSamsung SSD 860 EVO 500GB<form id=xxx"), std::string::npos);
}

TEST(SiteAddressTest, AcceptsOnlyPlainHttpUrls) {
  for (const char* good : {"http://compare.example/", "https://compare.example/de/", "http://127.0.0.1:8080/"}) {
    EXPECT_TRUE(IsUsableSiteAddress(good)) << good;
  }
  for (const char* bad : {"", "javascript:alert(1)//", "file:///etc/", "http://", "http:///path/",
                          "http://a.example/' onmouseover='x", "http://a.example/\"><script>",
                          "http://a b.example/", "http://a.example/?x=1&copy=2", "ftp://a.example/"}) {
    EXPECT_FALSE(IsUsableSiteAddress(bad)) << bad;
  }
}

}  // namespace
}  // namespace korvanel
