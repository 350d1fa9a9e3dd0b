#include "export/comparison_report.h"

#include <cerrno>
#include <vector>

#include "export/report_page.h"
#include "export/result_query.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace korvanel {
namespace {

std::vector<std::string> PagePieces(const ComparisonReportInput& input) {
  return ReportPagePieces(BuildReportHeading(input.drive.Model), input.site_address,
                          EncodeForTransfer(BuildResultQuery(input)));
}

SysError UnusableSiteAddress() {
  SysError error = SysError::FromErrno(EINVAL);
  error.description = "the comparison site address is not a plain http or https URL";
  return error;
}

}  // namespace

std::string BuildComparisonReportPage(const ComparisonReportInput& input) {
  std::string page;
  for (const std::string& piece : PagePieces(input)) page += piece;
  return page;
}

SysError WriteComparisonReportFile(const std::string& path, const ComparisonReportInput& input) {
  if (!IsUsableSiteAddress(input.site_address)) return UnusableSiteAddress();
  return platform::ReplaceFile(path, PagePieces(input));
}

ComparisonReportOutcome WriteComparisonReport(const ComparisonReportInput& input, const PageOpener& open) {
  ComparisonReportOutcome outcome;
  if (!IsUsableSiteAddress(input.site_address)) {
    outcome.error = UnusableSiteAddress();
    return outcome;
  }
  const platform::PrivateFile page = platform::WritePrivateTempFile(kReportPageName, PagePieces(input));
  outcome.error = page.error;
  outcome.notice = page.notice;
  if (outcome.error) return outcome;
  outcome.page_path = page.path;
  const platform::OpenOutcome opened = open(page.path);
  outcome.opened = opened.launched;
  outcome.error = opened.error;
  return outcome;
}

}  // namespace korvanel
