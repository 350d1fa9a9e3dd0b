#pragma once
// A report input with every field set to a recognisable value, shared by the report tests.

#include "export/report_input.h"

namespace korvanel::testing {

inline ComparisonReportInput SampleReportInput() {
  ComparisonReportInput input;
  input.drive.Root = "/mnt/data";
  input.drive.SerialNumber = "S3Z1NB0K123456";
  input.drive.Model = "Samsung SSD 860 EVO 500GB";
  input.drive.FreeBytes = 123456789012;
  input.drive.TotalBytes = 500107862016;
  input.drive.FileSystem = "ext4";
  input.drive.Driver = "ahci";
  input.drive.Interface = "SATA";
  input.drive.SizeText = "500107862016";
  input.results.SR = 512.3456789;
  input.results.SW = 480.25;
  input.results.RR4KB64QD = 350;
  input.results.RW4KB64QD = 300.125;
  input.results.RR4KB = 35.75;
  input.results.RW4KB = 80;
  input.results.RR512KB = 400.5;
  input.results.RW512KB = 410;
  input.results.RR = 35.75;
  input.results.RW = 80;
  input.test_time = 2;
  input.test_id = 6;
  input.program = "Korvanel 1.84";
  input.os = {6, 1, 0, ""};
  input.site_address = "http://compare.example/";
  return input;
}

}  // namespace korvanel::testing
