// The drive queries against the system they run on: under Wine, the prefix's drives C: and Z:.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "drives/windows/com_wmi_source.h"
#include "drives/windows/registry_reader.h"
#include "drives/windows/windows_drive_system.h"
#include "platform/windows/wine.h"

namespace korvanel::platform {
namespace {

TEST(SpaceQueryRoot, CutsDrivePathsAndUncPathsToTheirRoots) {
  EXPECT_EQ(SpaceQueryRoot(L"C:\\Users\\Ann\\file.txt"), L"C:\\");
  EXPECT_EQ(SpaceQueryRoot(L"C:\\"), L"C:\\");
  EXPECT_EQ(SpaceQueryRoot(L"\\\\server\\share\\dir\\file"), L"\\\\server\\share\\");
  EXPECT_EQ(SpaceQueryRoot(L"\\\\server\\share"), L"\\\\server\\share") << "no backslash after the share: whole";
}

class SystemDrivesTest : public ::testing::Test {
 protected:
  WindowsDriveSystem system_{ConnectWmi, SystemRegistry()};
};

TEST_F(SystemDrivesTest, ListsTheSystemDriveWithItsVolume) {
  const std::vector<MountedDrive> drives = system_.ListDrives();
  const auto c = std::find_if(drives.begin(), drives.end(), [](const MountedDrive& d) { return d.root == "C:\\"; });
  ASSERT_NE(c, drives.end());
  EXPECT_EQ(c->device, "C:");
  EXPECT_EQ(c->kind, DriveKind::kFixed);
  EXPECT_FALSE(c->file_system.empty());
  for (const MountedDrive& drive : drives) {
    EXPECT_NE(drive.root.substr(0, 1), "A") << "floppy drives are never listed";
  }
  const std::optional<VolumeInfo> volume = system_.QueryVolume("C:\\");
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->file_system, c->file_system);
  EXPECT_FALSE(system_.QueryVolume("Q:\\nowhere\\"));
}

TEST_F(SystemDrivesTest, SpaceOfTheVolumeHoldingAPath) {
  uint64_t total = 0;
  const int64_t free_bytes = system_.QueryDiskSpace("C:\\windows\\system32", &total);
  EXPECT_GT(free_bytes, 0);
  EXPECT_GE(total, static_cast<uint64_t>(free_bytes));
  uint64_t untouched = 7;
  EXPECT_EQ(system_.QueryDiskSpace("Q:\\", &untouched), -1);
  EXPECT_EQ(untouched, 7u);
}

TEST_F(SystemDrivesTest, FindsTheDriveOfADirectory) {
  const std::optional<MountedDrive> mount = system_.FindMountOf("C:\\windows\\system32");
  ASSERT_TRUE(mount);
  EXPECT_EQ(mount->root, "C:\\");
  EXPECT_FALSE(system_.FindMountOf("C:\\no such directory"));
}

TEST_F(SystemDrivesTest, WmiAnswersTheDiskQuery) {
  auto wmi = ConnectWmi();
  ASSERT_TRUE(wmi) << "COM and WMI must be reachable";
  const auto drives = wmi->Query("SELECT * FROM Win32_DiskDrive");
  ASSERT_TRUE(drives);
  ASSERT_FALSE(drives->empty());
  EXPECT_TRUE(drives->front().count("Index"));
  if (RunningUnderWine()) {
    GTEST_SKIP() << "Wine " << WineVersion() << " walks WMI associations only upward; the drive letters of a disk "
                 << "are checked on recorded answers";
  }
  const auto disks = system_.ListDisks();
  ASSERT_TRUE(disks);
  const bool holds_c = std::any_of(disks->begin(), disks->end(), [](const DiskInfoEntry& disk) {
    return std::find(disk.Letters.begin(), disk.Letters.end(), "C:\\") != disk.Letters.end();
  });
  EXPECT_TRUE(holds_c);
}

TEST(SystemRegistryTest, ReadsTheDriverOfAPortFromTheDeviceMap) {
  // HARDWARE is rebuilt at every boot: its keys are volatile, and writing them needs administrator
  // rights (Wine's prefix gives them).
  const std::wstring key = L"HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 97";
  HKEY created = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &created, nullptr) != ERROR_SUCCESS) {
    GTEST_SKIP() << "no right to write the device map here";
  }
  const wchar_t driver[] = L"stornvme";
  RegSetValueExW(created, L"Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver), sizeof driver);
  EXPECT_EQ(ScsiPortDriver(SystemRegistry(), 97), "stornvme");
  RegDeleteValueW(created, L"Driver");
  EXPECT_EQ(ScsiPortDriver(SystemRegistry(), 97), "");
  RegCloseKey(created);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
  EXPECT_EQ(ScsiPortDriver(SystemRegistry(), 97), "");
}

}  // namespace
}  // namespace korvanel::platform
