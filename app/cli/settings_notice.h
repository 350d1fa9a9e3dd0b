#pragma once
// What korvanel-cli says when the settings file would not take a change.

namespace korvanel::cli {

// Once per run: why the last change to the settings file was not stored, unless the problem that
// the start already reported (an unreadable file) explains it.
void ReportRefusedSettingsWrite();

}  // namespace korvanel::cli
