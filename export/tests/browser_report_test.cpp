// The report page in a real browser: headless Chromium opens a written page whose site address is a
// loopback server of the test. Skipped where Chromium is not installed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <string>

#include "export/comparison_report.h"
#include "export/result_query.h"
#include "export/tests/bounded_process.h"
#include "export/tests/loopback_http_server.h"
#include "export/tests/sample_report_input.h"
#include "common/testing/scratch.h"

namespace korvanel {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackHttpServer;
using testing::ReadWholeFile;
using testing::ScratchDir;

constexpr auto kBrowserLimit = 90s;

std::string FormDecoded(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      decoded += ' ';
    } else if (text[i] == '%' && i + 2 < text.size()) {
      decoded += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::map<std::string, std::string> FormFields(const std::string& body) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start <= body.size()) {
    const size_t end = std::min(body.find('&', start), body.size());
    const std::string pair = body.substr(start, end - start);
    const size_t equals = pair.find('=');
    if (equals != std::string::npos) fields[FormDecoded(pair.substr(0, equals))] = FormDecoded(pair.substr(equals + 1));
    start = end + 1;
  }
  return fields;
}

class BrowserReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chromium_ = testing::FindProgram("chromium");
    if (chromium_.empty()) GTEST_SKIP() << "chromium is not installed";
    ASSERT_NE(server_.port(), 0);
    input_ = testing::SampleReportInput();
    input_.drive.Model = "Fast & Safe <i>SSD</i>";
    input_.site_address = "http://127.0.0.1:" + std::to_string(server_.port()) + "/";
  }

  // Loads `url` with a fresh profile and returns the DOM that Chromium dumps.
  std::string DumpDom(const std::string& url) {
    const std::string profile = scratch_ / ("profile" + std::to_string(++runs_));
    const std::string dom = scratch_ / ("dom" + std::to_string(runs_) + ".html");
    const testing::ProcessResult run = testing::RunWithTimeout(
        {chromium_, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--user-data-dir=" + profile, "--dump-dom", url},
        dom, kBrowserLimit);
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.timed_out);
    return ReadWholeFile(dom);
  }

  std::string chromium_;
  ScratchDir scratch_;
  LoopbackHttpServer server_;
  ComparisonReportInput input_;
  int runs_ = 0;
};

TEST_F(BrowserReportTest, PageSubmitsTheEncodedResultsToTheSite) {
  const std::string page = scratch_ / "korvanel_tmp.html";
  ASSERT_FALSE(WriteComparisonReportFile(page, input_));
  DumpDom("file://" + page);

  const testing::HttpRequest post = server_.WaitFor("POST", 10s);
  ASSERT_EQ(post.method, "POST") << "the page did not submit itself";
  EXPECT_EQ(post.target, "/?DriveChartsCompare");
  auto fields = FormFields(post.body);
  ASSERT_EQ(fields.count("korvaneldata_img"), 1u) << post.body;
  EXPECT_EQ(fields["korvaneldata_img"], "");
  const std::string query = DecodeTransfer(fields["korvaneldata"]);
  EXPECT_EQ(query, BuildResultQuery(input_));
  EXPECT_NE(query.find("&Model=Fast & Safe <i>SSD</i>&hd="), std::string::npos) << query;
}

TEST_F(BrowserReportTest, HeadingBreaksTheLineAtTheAmpersandAndShowsMarkupAsText) {
  server_.ServePage("/report.html", BuildComparisonReportPage(input_));
  const std::string dom = DumpDom("http://127.0.0.1:" + std::to_string(server_.port()) + "/report.html");

  EXPECT_NE(dom.find("<br>\nFast <br>\n Safe &lt;i&gt;SSD&lt;/i&gt;<form"), std::string::npos) << dom;
  EXPECT_EQ(dom.find("<i>"), std::string::npos) << dom;
  // Served with scripts forbidden, the page stays on screen and posts nothing.
  EXPECT_EQ(server_.WaitFor("POST", 0ms).method, "");
}

}  // namespace
}  // namespace korvanel
