#pragma once
// Assembles the stored language table from its editable sources: UTF-8 files with LF line ends,
// checked strictly so that a slip in one translation fails the build instead of losing texts.

#include <string>
#include <vector>

namespace korvanel {

struct TableSource {
  std::string name;  // shown in error messages
  std::string text;  // UTF-8 content as read from the file
};

struct TableBuild {
  std::string table;  // UTF-16LE bytes with byte-order mark and CR LF line ends; empty on error
  std::string error;  // "<name>:<line>: <problem>", empty on success
};

// The table is: mark, header, each fixed section (special, reserved ones), each language section in
// the given order, then a closing "##" line. The header must not contain "##"; every section file
// starts with its own "##" line and ends with a line end; a language file starts with
// "##=<name><TAB><second name>" and then holds only "NNNN=text" lines (four-digit ids 0..255,
// increasing) and "TranslatorName=" / "TranslatorURL=" lines.
TableBuild BuildLanguageTable(const TableSource& header, const std::vector<TableSource>& fixed_sections,
                              const std::vector<TableSource>& languages);

}  // namespace korvanel
