// The disk identity on recorded WMI answers, shaped as Windows 10 gives them for a machine with a
// SATA disk, an NVMe disk and a USB stick. This machine has no Windows to ask, and Wine makes its
// answers up.

#include <gtest/gtest.h>
#include <windows.h>

#include "drives/tests/windows/recorded_wmi.h"
#include "drives/windows/wmi_disks.h"

namespace korvanel {
namespace {

using testing::FakeRegistry;
using testing::RecordedWmi;
using testing::RegistryText;

class WmiDisksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wmi_.answers[DiskQuery({})] = {
        {{"Model", "Samsung SSD 860 EVO 500GB"}, {"Index", "0"}, {"Size", "500105249280"},
         {"InterfaceType", "IDE"}, {"SerialNumber", "S3Z9NB0K123456A"}, {"SCSIPort", "0"},
         {"DeviceID", "\\\\.\\PHYSICALDRIVE0"}, {"MediaType", "Fixed hard disk media"}},
        {{"Model", "WDC PC SN730 SDBQNTY-1T00-1001"}, {"Index", "1"}, {"Size", "1024203640320"},
         {"InterfaceType", "SCSI"}, {"SerialNumber", "E823_8FA6_BF53_0001_001B_448B_4A3D_2E10."}, {"SCSIPort", "1"},
         {"DeviceID", "\\\\.\\PHYSICALDRIVE1"}},
        // A USB stick: no SCSIPort property, serial number null (absent).
        {{"Model", "SanDisk Ultra USB Device"}, {"Index", "2"}, {"Size", "30769545216"}, {"InterfaceType", "USB"},
         {"DeviceID", "\\\\.\\PHYSICALDRIVE2"}},
    };
    registry_.values[testing::PortKey(0)] = RegistryText(REG_SZ, std::wstring(L"storahci") + L'\0');
    registry_.values[testing::PortKey(1)] = RegistryText(REG_SZ, std::wstring(L"stornvme") + L'\0');
  }

  std::optional<std::vector<DiskInfoEntry>> Read(const std::string& query) {
    problem_.clear();
    return ReadDisks(wmi_, registry_, query, &problem_);
  }

  RecordedWmi wmi_;
  FakeRegistry registry_;
  std::string problem_;
};

TEST_F(WmiDisksTest, ReadsEveryDiskWithItsPortsDriver) {
  const auto disks = Read(DiskQuery({}));
  ASSERT_TRUE(disks);
  ASSERT_EQ(disks->size(), 3u);
  const DiskInfoEntry& sata = (*disks)[0];
  EXPECT_EQ(sata.Model, "Samsung SSD 860 EVO 500GB");
  EXPECT_EQ(sata.Index, 0);
  EXPECT_EQ(sata.Size, "500105249280");
  EXPECT_EQ(sata.InterfaceType, "IDE");
  EXPECT_EQ(sata.SerialNumber, "S3Z9NB0K123456A");
  EXPECT_EQ(sata.Driver, "storahci");
  EXPECT_EQ((*disks)[1].Driver, "stornvme");
  EXPECT_EQ((*disks)[2].SerialNumber, "") << "a null serial number is an empty field";
  EXPECT_EQ((*disks)[2].Driver, "") << "no port, no driver";
  EXPECT_TRUE(problem_.empty());
  // One query for every disk: no association walked per disk and partition.
  EXPECT_EQ(wmi_.asked, (std::vector<std::string>{"SELECT * FROM Win32_DiskDrive"}));
}

TEST_F(WmiDisksTest, OnlyTheDisksAskedFor) {
  EXPECT_EQ(DiskQuery({1}), "SELECT * FROM Win32_DiskDrive WHERE Index = 1");
  EXPECT_EQ(DiskQuery({1, 2}), "SELECT * FROM Win32_DiskDrive WHERE Index = 1 OR Index = 2");
  wmi_.answers[DiskQuery({2})] = {{{"Model", "SanDisk Ultra USB Device"}, {"Index", "2"}}};
  const auto disks = Read(DiskQuery({2}));
  ASSERT_TRUE(disks);
  ASSERT_EQ(disks->size(), 1u);
  EXPECT_EQ((*disks)[0].Index, 2);
}

TEST_F(WmiDisksTest, AQueryWmiDoesNotAnswerGivesNothingAndSaysWhy) {
  wmi_.problems[DiskQuery({})] = "WMI did not answer within 10 s";
  EXPECT_FALSE(Read(DiskQuery({})));
  EXPECT_EQ(problem_, "WMI did not answer within 10 s");
}

TEST_F(WmiDisksTest, AtMost255Disks) {
  wmi_.answers[DiskQuery({})].assign(300, {{"Model", "Virtual Disk"}, {"Index", "7"}});
  EXPECT_EQ(Read(DiskQuery({}))->size(), 255u);
}

// Two queries for the whole machine, with the object paths as Windows writes them (Wine spells
// "DeviceId").
TEST_F(WmiDisksTest, LettersFromTheAssociationsReadFlat) {
  const std::string host = "\\\\DESKTOP-7\\ROOT\\CIMV2:";
  auto disk = [&](int n) {
    return host + "Win32_DiskDrive.DeviceID=\"\\\\\\\\.\\\\PHYSICALDRIVE" + std::to_string(n) + "\"";
  };
  auto partition = [&](const std::string& id) { return host + "Win32_DiskPartition.DeviceID=\"" + id + "\""; };
  auto letter = [&](const std::string& id) { return host + "Win32_LogicalDisk.DeviceId=\"" + id + "\""; };
  wmi_.answers["SELECT * FROM Win32_DiskDriveToDiskPartition"] = {
      {{"Antecedent", disk(0)}, {"Dependent", partition("Disk #0, Partition #0")}},  // EFI: no letter
      {{"Antecedent", disk(0)}, {"Dependent", partition("Disk #0, Partition #1")}},
      {{"Antecedent", disk(1)}, {"Dependent", partition("Disk #1, Partition #0")}},
      {{"Antecedent", disk(1)}, {"Dependent", partition("Disk #1, Partition #1")}},
      {{"Antecedent", disk(12)}, {"Dependent", partition("Disk #12, Partition #0")}},
  };
  wmi_.answers["SELECT * FROM Win32_LogicalDiskToPartition"] = {
      {{"Antecedent", partition("Disk #0, Partition #1")}, {"Dependent", letter("C:")}},
      {{"Antecedent", partition("Disk #1, Partition #0")}, {"Dependent", letter("D:")}},
      {{"Antecedent", partition("Disk #1, Partition #1")}, {"Dependent", letter("E:")}},
      {{"Antecedent", partition("Disk #12, Partition #0")}, {"Dependent", letter("F:")}},
  };
  const auto letters = AssociatedLetters(wmi_);
  EXPECT_EQ(letters, (std::map<int, std::vector<std::string>>{
                         {0, {"C:\\"}}, {1, {"D:\\", "E:\\"}}, {12, {"F:\\"}}}));
  EXPECT_EQ(wmi_.asked.size(), 2u);
  wmi_.problems["SELECT * FROM Win32_LogicalDiskToPartition"] = "WMI did not answer within 10 s";
  EXPECT_TRUE(AssociatedLetters(wmi_).empty());
}

TEST(ScsiPortDriver, TakesOnlyTerminatedStringValues) {
  FakeRegistry registry;
  struct Case {
    RegistryValue value;
    std::string driver;
  };
  const Case cases[] = {
      {RegistryText(REG_SZ, std::wstring(L"iaStorAC") + L'\0'), "iaStorAC"},
      {RegistryText(REG_EXPAND_SZ, std::wstring(L"storport") + L'\0'), "storport"},
      {RegistryText(REG_MULTI_SZ, std::wstring(L"vioscsi") + L'\0' + L"second" + L'\0' + L'\0'), "vioscsi"},
      {RegistryText(REG_MULTI_SZ, std::wstring(L"vioscsi") + L'\0'), ""},  // a list ends in two NULs
      {RegistryText(REG_SZ, L"unterminated"), ""},
      {RegistryText(REG_SZ, std::wstring(1, L'\0')), ""},                  // empty
      {RegistryText(REG_DWORD, std::wstring(L"ab")), ""},                  // not a string
      {RegistryValue{REG_SZ, {'a', 0, 0}}, ""},                            // odd byte count
      {RegistryText(REG_SZ, std::wstring(600, L'x') + L'\0'), ""},         // beyond 1024 bytes
  };
  for (const Case& c : cases) {
    registry.values[testing::PortKey(4)] = c.value;
    EXPECT_EQ(ScsiPortDriver(registry, 4), c.driver) << c.value.bytes.size();
  }
  EXPECT_EQ(ScsiPortDriver(registry, 5), "") << "no key for the port";
}

}  // namespace
}  // namespace korvanel
