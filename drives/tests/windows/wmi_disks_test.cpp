// The disk identity on recorded WMI answers, shaped as Windows 10 gives them for a machine with a
// SATA disk (C:), an NVMe disk with two volumes (D:, E:), a USB stick (F:) and a new disk without
// partitions. This machine has no Windows to ask, and Wine makes its answers up.

#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "drives/disk_info.h"
#include "drives/windows/wmi_disks.h"

namespace korvanel::platform {
namespace {

class RecordedWmi : public WmiQuerySource {
 public:
  std::map<std::string, std::vector<WmiObject>> answers;
  std::vector<std::string> asked;

  std::optional<std::vector<WmiObject>> Query(const std::string& wql) override {
    asked.push_back(wql);
    const auto it = answers.find(wql);
    if (it == answers.end()) return std::nullopt;
    return it->second;
  }
};

class FakeRegistry : public RegistryReader {
 public:
  std::map<std::wstring, RegistryValue> values;  // by key; the value name is always "Driver" here

  std::optional<RegistryValue> ReadLocalMachine(const std::wstring& key, const std::wstring& name,
                                                uint32_t max_bytes) override {
    EXPECT_EQ(name, L"Driver");
    const auto it = values.find(key);
    if (it == values.end() || it->second.bytes.size() > max_bytes) return std::nullopt;
    return it->second;
  }
};

RegistryValue Text(uint32_t type, const std::wstring& text_with_nuls) {
  RegistryValue value{type, {}};
  const auto* bytes = reinterpret_cast<const uint8_t*>(text_with_nuls.data());
  value.bytes.assign(bytes, bytes + text_with_nuls.size() * sizeof(wchar_t));
  return value;
}

std::wstring PortKey(int port) { return L"HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port " + std::to_wstring(port) + L"\\"; }

std::string Partitions(const std::string& disk) {
  return "ASSOCIATORS OF {Win32_DiskDrive.DeviceID='" + disk + "'} WHERE AssocClass=Win32_DiskDriveToDiskPartition";
}

std::string LogicalDisks(const std::string& partition) {
  return "ASSOCIATORS OF {Win32_DiskPartition.DeviceID='" + partition + "'} WHERE AssocClass=Win32_LogicalDiskToPartition";
}

class WmiDisksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wmi_.answers["SELECT * FROM Win32_DiskDrive"] = {
        {{"Model", "Samsung SSD 860 EVO 500GB"}, {"Index", "0"}, {"Size", "500105249280"},
         {"InterfaceType", "IDE"}, {"SerialNumber", "S3Z9NB0K123456A"}, {"SCSIPort", "0"},
         {"DeviceID", "\\\\.\\PHYSICALDRIVE0"}, {"MediaType", "Fixed hard disk media"}},
        {{"Model", "WDC PC SN730 SDBQNTY-1T00-1001"}, {"Index", "1"}, {"Size", "1024203640320"},
         {"InterfaceType", "SCSI"}, {"SerialNumber", "E823_8FA6_BF53_0001_001B_448B_4A3D_2E10."}, {"SCSIPort", "1"},
         {"DeviceID", "\\\\.\\PHYSICALDRIVE1"}},
        // A USB stick: no SCSIPort property, serial number null (absent).
        {{"Model", "SanDisk Ultra USB Device"}, {"Index", "2"}, {"Size", "30769545216"}, {"InterfaceType", "USB"},
         {"DeviceID", "\\\\.\\PHYSICALDRIVE2"}},
        // A new disk: no partitions yet.
        {{"Model", "ST2000DM008-2FR102"}, {"Index", "3"}, {"Size", "2000396321280"}, {"InterfaceType", "IDE"},
         {"SerialNumber", "ZFL1ABCD"}, {"SCSIPort", "0"}, {"DeviceID", "\\\\.\\PHYSICALDRIVE3"}},
    };
    wmi_.answers[Partitions("\\\\.\\PHYSICALDRIVE0")] = {{{"DeviceID", "Disk #0, Partition #0"}},
                                                        {{"DeviceID", "Disk #0, Partition #1"}}};
    wmi_.answers[LogicalDisks("Disk #0, Partition #0")] = {};  // the EFI system partition has no letter
    wmi_.answers[LogicalDisks("Disk #0, Partition #1")] = {{{"DeviceID", "C:"}}};
    wmi_.answers[Partitions("\\\\.\\PHYSICALDRIVE1")] = {{{"DeviceID", "Disk #1, Partition #0"}},
                                                        {{"DeviceID", "Disk #1, Partition #1"}}};
    wmi_.answers[LogicalDisks("Disk #1, Partition #0")] = {{{"DeviceID", "D:"}}};
    wmi_.answers[LogicalDisks("Disk #1, Partition #1")] = {{{"DeviceID", "E:"}}};
    wmi_.answers[Partitions("\\\\.\\PHYSICALDRIVE2")] = {{{"DeviceID", "Disk #2, Partition #0"}}};
    wmi_.answers[LogicalDisks("Disk #2, Partition #0")] = {{{"DeviceID", "F:"}}};
    wmi_.answers[Partitions("\\\\.\\PHYSICALDRIVE3")] = {};

    registry_.values[PortKey(0)] = Text(REG_SZ, std::wstring(L"storahci") + L'\0');
    registry_.values[PortKey(1)] = Text(REG_SZ, std::wstring(L"stornvme") + L'\0');
  }

  RecordedWmi wmi_;
  FakeRegistry registry_;
};

TEST_F(WmiDisksTest, ReadsEveryDiskAndWalksToItsLetters) {
  const auto disks = CollectDisks(wmi_, registry_);
  ASSERT_TRUE(disks);
  ASSERT_EQ(disks->size(), 4u);
  const DiskInfoEntry& sata = (*disks)[0];
  EXPECT_EQ(sata.Model, "Samsung SSD 860 EVO 500GB");
  EXPECT_EQ(sata.Index, 0);
  EXPECT_EQ(sata.Size, "500105249280");
  EXPECT_EQ(sata.InterfaceType, "IDE");
  EXPECT_EQ(sata.SerialNumber, "S3Z9NB0K123456A");
  EXPECT_EQ(sata.Driver, "storahci");
  EXPECT_EQ(sata.Letters, (std::vector<std::string>{"C:\\"}));
  EXPECT_EQ((*disks)[1].Letters, (std::vector<std::string>{"D:\\", "E:\\"}));
  EXPECT_EQ((*disks)[1].Driver, "stornvme");
  EXPECT_EQ((*disks)[2].Letters, (std::vector<std::string>{"F:\\"}));
  EXPECT_TRUE((*disks)[3].Letters.empty());
  // The queries name each disk and partition by its full device id, as WMI expects.
  EXPECT_EQ(wmi_.asked[1], Partitions("\\\\.\\PHYSICALDRIVE0"));
}

TEST_F(WmiDisksTest, LookupsGiveTheDefaultsWhereAPropertyOrDriverIsMissing) {
  CDiskInfo info;
  struct Source : DiskSource {
    std::optional<std::vector<DiskInfoEntry>> disks;
    std::optional<std::vector<DiskInfoEntry>> ListDisks() override { return disks; }
  } source;
  source.disks = CollectDisks(wmi_, registry_);
  info.Enumerate(source);
  EXPECT_EQ(info.FindByMountPoint("E:\\")->Index, 1);
  EXPECT_EQ(info.FindByMountPoint("F:\\")->Index, 2);
  EXPECT_EQ(info.GetSerialNumber(2), "") << "a null serial number is an empty field, not the default";
  EXPECT_EQ(info.GetScsiDriver(2), "?") << "no port, no driver";
  EXPECT_EQ(info.GetModel(9), "No-Name");
  EXPECT_EQ(info.GetSize(9), "0");
}

TEST_F(WmiDisksTest, AFailedAssociationEndsOnlyThatDisksLetters) {
  wmi_.answers.erase(LogicalDisks("Disk #1, Partition #0"));
  const auto disks = CollectDisks(wmi_, registry_);
  ASSERT_TRUE(disks);
  EXPECT_TRUE((*disks)[1].Letters.empty());
  EXPECT_EQ((*disks)[2].Letters, (std::vector<std::string>{"F:\\"}));
}

TEST_F(WmiDisksTest, AFailedDiskQueryGivesNothing) {
  wmi_.answers.clear();
  EXPECT_FALSE(CollectDisks(wmi_, registry_));
}

TEST_F(WmiDisksTest, AtMost255Disks) {
  auto& drives = wmi_.answers["SELECT * FROM Win32_DiskDrive"];
  drives.assign(300, {{"Model", "Virtual Disk"}, {"Index", "7"}});
  EXPECT_EQ(CollectDisks(wmi_, registry_)->size(), 255u);
}

TEST(ScsiPortDriver, TakesOnlyTerminatedStringValues) {
  FakeRegistry registry;
  struct Case {
    RegistryValue value;
    std::string driver;
  };
  const Case cases[] = {
      {Text(REG_SZ, std::wstring(L"iaStorAC") + L'\0'), "iaStorAC"},
      {Text(REG_EXPAND_SZ, std::wstring(L"storport") + L'\0'), "storport"},
      {Text(REG_MULTI_SZ, std::wstring(L"vioscsi") + L'\0' + L"second" + L'\0' + L'\0'), "vioscsi"},
      {Text(REG_MULTI_SZ, std::wstring(L"vioscsi") + L'\0'), ""},  // a list ends in two NULs
      {Text(REG_SZ, L"unterminated"), ""},
      {Text(REG_SZ, std::wstring(1, L'\0')), ""},                  // empty
      {Text(REG_DWORD, std::wstring(L"ab")), ""},                  // not a string
      {RegistryValue{REG_SZ, {'a', 0, 0}}, ""},                    // odd byte count
      {Text(REG_SZ, std::wstring(600, L'x') + L'\0'), ""},         // beyond 1024 bytes
  };
  for (const Case& c : cases) {
    registry.values[PortKey(4)] = c.value;
    EXPECT_EQ(ScsiPortDriver(registry, 4), c.driver) << c.value.bytes.size();
  }
  EXPECT_EQ(ScsiPortDriver(registry, 5), "") << "no key for the port";
}

}  // namespace
}  // namespace korvanel::platform
