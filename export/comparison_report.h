#pragma once
// The comparison report: a page that posts the drive description and the results, encoded, to the
// comparison site as soon as a browser opens it.

#include <functional>
#include <string>

#include "common/sys_error.h"
#include "platform/default_application.h"
#include "export/report_input.h"

namespace korvanel {

// The page's file name in Korvanel's private temporary directory; each report replaces the last.
inline constexpr const char* kReportPageName = "korvanel_tmp.html";

// The whole page for `input`, as it is written to the file.
std::string BuildComparisonReportPage(const ComparisonReportInput& input);

// Writes the page to `path`, replacing a file there in one step (by the rules of
// platform::ReplaceFile: never another user's file, a device or a link planted by someone else), and
// opens nothing. Returns EINVAL for a site address that is not a plain http(s) URL, else the file
// system's error.
SysError WriteComparisonReportFile(const std::string& path, const ComparisonReportInput& input);

using PageOpener = std::function<platform::OpenOutcome(const std::string& path)>;

struct ComparisonReportOutcome {
  std::string page_path;  // the written page; empty when it could not be written
  bool opened = false;    // a browser was asked to open it
  SysError error;         // why the page could not be written or the browser not started
  std::string notice;     // why the page is not where it usually goes (platform::PrivateFile)
};

// Writes kReportPageName in the private temporary directory and opens it with `open` (the desktop's
// browser unless a test passes another). A page that could not be written is not opened, so an
// older page never sends stale results.
ComparisonReportOutcome WriteComparisonReport(const ComparisonReportInput& input,
                                              const PageOpener& open = platform::OpenWithDefaultApplication);

}  // namespace korvanel
