#pragma once
// The comparison report page: a heading, a form that carries the encoded results to the comparison
// site, and a script that submits it as soon as the browser has loaded the page.

#include <string>
#include <string_view>
#include <vector>

namespace korvanel {

// The drive model as page text: each "&" becomes a line break ("<br>" and a line feed); "<", ">",
// quotes and NUL are escaped, so a model read from a device cannot add markup or script.
std::string BuildReportHeading(std::string_view model);

// True for an address the form may post to: "http://" or "https://" followed by a host, and
// nothing that could leave or change the quoted attribute (quotes, "<", ">", "&", blanks, controls).
bool IsUsableSiteAddress(std::string_view site_address);

// The page's pieces in the order they are written; `encoded_results` goes into the hidden field
// "korvaneldata", the site address plus "?DriveChartsCompare" into the form's action.
std::vector<std::string> ReportPagePieces(const std::string& heading, const std::string& site_address,
                                          const std::string& encoded_results);

}  // namespace korvanel
