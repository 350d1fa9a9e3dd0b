#include "export/comparison_report.h"

#include <cerrno>
#include <vector>

#include "common/replace_file.h"
#include "common/path_text.h"
#include "export/report_page.h"
#include "export/result_query.h"
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
  return ReplaceFileWithPieces(path, PagePieces(input));
}

ComparisonReportOutcome WriteComparisonReport(const ComparisonReportInput& input, const PageOpener& open) {
  ComparisonReportOutcome outcome;
  const std::string directory = platform::PrivateTempDirectory(&outcome.error);
  if (directory.empty()) {
    if (!outcome.error) outcome.error = SysError::FromErrno(ENOENT);
    return outcome;
  }
  const std::string path = JoinPath(directory, kReportPageName);
  outcome.error = WriteComparisonReportFile(path, input);
  if (outcome.error) return outcome;
  outcome.page_path = path;
  const platform::OpenOutcome opened = open(path);
  outcome.opened = opened.launched;
  outcome.error = opened.error;
  return outcome;
}

}  // namespace korvanel
