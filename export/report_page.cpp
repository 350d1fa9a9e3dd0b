#include "export/report_page.h"

namespace korvanel {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsAttributeSafe(char c) {
  const auto byte = static_cast<unsigned char>(c);
  // "&" would start a character reference inside the attribute and change the address.
  return byte > 0x20 && byte != 0x7f && c != '\'' && c != '"' && c != '<' && c != '>' && c != '`' && c != '&';
}

void AppendHeadingChar(char c, std::string* heading) {
  switch (c) {
    case '&': *heading += "<br>\n"; break;
    case '<': *heading += "&lt;"; break;
    case '>': *heading += "&gt;"; break;
    case '"': *heading += "&quot;"; break;
    case '\'': *heading += "&#39;"; break;
    case '\0': *heading += "&#xFFFD;"; break;
    default: *heading += c;
  }
}

}  // namespace

std::string BuildReportHeading(std::string_view model) {
  std::string heading;
  for (char c : model) AppendHeadingChar(c, &heading);
  return heading;
}

bool IsUsableSiteAddress(std::string_view site_address) {
  std::string_view rest;
  if (StartsWith(site_address, "http://")) {
    rest = site_address.substr(7);
  } else if (StartsWith(site_address, "https://")) {
    rest = site_address.substr(8);
  } else {
    return false;
  }
  if (rest.empty() || rest.front() == '/') return false;
  for (char c : rest) {
    if (!IsAttributeSafe(c)) return false;
  }
  return true;
}

std::vector<std::string> ReportPagePieces(const std::string& heading, const std::string& site_address,
                                          const std::string& encoded_results) {
  return {
      "<table align=center><tr><td>\n",
      "<br>\n",
      heading,
      "<form id=xxx action='",
      site_address,
      "?DriveChartsCompare",
      "' method=post><br>\n",
      "<input type=hidden name='korvaneldata_img' value=\"",
      "\">\n",
      "<input type=hidden name='korvaneldata' value=\"",
      encoded_results,
      "\">\n",
      "<input type=submit name='xxxx' value=\"Compare Results on Quenlidart Homepage\"><br>\n",
      "</form></td></tr></table>\n",
      "<script>\n",
      "el_f=document.getElementById(\"xxx\"); el_f.submit();\n",
      "</script>\n",
  };
}

}  // namespace korvanel
