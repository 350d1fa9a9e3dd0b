// The drive queries on Windows: first on a recorded machine that Wine cannot be (a dynamic disk,
// a volume mounted in a folder, an NVMe disk, a card reader without a card, a network letter whose
// server has gone, a WMI service that does not answer), then against the system they run on (under
// Wine, the prefix's drives C: and Z:).

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "drives/disk_info.h"
#include "drives/drive_refresh.h"
#include "drives/tests/windows/recorded_wmi.h"
#include "drives/windows/com_wmi_source.h"
#include "drives/windows/registry_reader.h"
#include "drives/windows/windows_drive_system.h"
#include "drives/windows/wmi_disks.h"
#include "platform/windows/wine.h"

namespace korvanel {
namespace {

using testing::FakeRegistry;
using testing::RecordedWmi;

// STORAGE_BUS_TYPE values.
constexpr int kBusSata = 11;
constexpr int kBusNvme = 17;
constexpr int kBusUsb = 7;

// C: on a SATA disk; D: on an NVMe disk, also mounted at C:\mnt\games\; E: a dynamic volume spanning
// the NVMe disk and disk 2; a volume of disk 2 mounted only at C:\mnt\data\; F: a USB stick; G: a
// card reader without a card; Y: and Z: network letters whose servers have gone.
class RecordedVolumes : public VolumeSource {
 public:
  std::vector<std::wstring> LogicalDriveRoots() override {
    Note();
    return {L"C:\\", L"D:\\", L"E:\\", L"F:\\", L"G:\\", L"Y:\\", L"Z:\\"};
  }
  UINT DriveType(const std::wstring& root) override {
    Note();
    if (root == L"F:\\" || root == L"G:\\") return DRIVE_REMOVABLE;
    return root == L"Y:\\" || root == L"Z:\\" ? DRIVE_REMOTE : DRIVE_FIXED;
  }
  std::optional<VolumeFacts> ReadVolume(const std::wstring& root) override {
    Note();
    if (root == L"G:\\") return std::nullopt;  // no card
    if (root == L"Y:\\" || root == L"Z:\\") {
      std::unique_lock lock(mutex_);
      server_back_.wait(lock, [this] { return server_is_back_; });
      return VolumeFacts{L"NTFS", L"share", 0};
    }
    return VolumeFacts{root == L"F:\\" ? L"exFAT" : L"NTFS", L"", 0};
  }
  std::vector<VolumePlace> Volumes() override {
    Note();
    return {
        {L"\\\\?\\Volume{c}\\", {L"C:\\"}, {0}},
        {L"\\\\?\\Volume{d}\\", {L"D:\\", L"C:\\mnt\\games\\"}, {1}},
        {L"\\\\?\\Volume{e}\\", {L"E:\\"}, {1, 2}},
        {L"\\\\?\\Volume{data}\\", {L"C:\\mnt\\data\\"}, {2}},
        {L"\\\\?\\Volume{f}\\", {L"F:\\"}, {3}},
        {L"\\\\?\\Volume{g}\\", {L"G:\\"}, {}},
    };
  }
  std::optional<int> BusType(int disk) override {
    Note();
    switch (disk) {
      case 0: return kBusSata;
      case 1: return kBusNvme;
      case 3: return kBusUsb;
      default: return std::nullopt;
    }
  }

  void ServerIsBack() {
    std::lock_guard lock(mutex_);
    server_is_back_ = true;
    server_back_.notify_all();
  }
  // Calls made while a "no disk" box could have come up.
  int loud_calls() const { return loud_calls_; }

 private:
  void Note() {
    if ((GetThreadErrorMode() & SEM_FAILCRITICALERRORS) == 0) ++loud_calls_;
  }

  std::mutex mutex_;
  std::condition_variable server_back_;
  bool server_is_back_ = false;
  std::atomic<int> loud_calls_{0};
};

class RecordedMachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wmi_->answers[DiskQuery({})] = {
        {{"Model", "Samsung SSD 870 EVO 1TB"}, {"Index", "0"}, {"InterfaceType", "IDE"}, {"Size", "1000204886016"}},
        {{"Model", "Samsung SSD 980 PRO 2TB"}, {"Index", "1"}, {"InterfaceType", "SCSI"}, {"Size", "2000398934016"}},
        {{"Model", "ST4000DM004-2CV104"}, {"Index", "2"}, {"InterfaceType", "IDE"}, {"Size", "4000787030016"}},
        {{"Model", "SanDisk Ultra USB Device"}, {"Index", "3"}, {"InterfaceType", "USB"}, {"Size", "30769545216"}},
    };
    wmi_->answers[DiskQuery({2})] = {wmi_->answers[DiskQuery({})][2]};
  }
  void TearDown() override { volumes_->ServerIsBack(); }

  std::unique_ptr<WmiQuerySource> Connect() {
    ++connections_;
    if (!wmi_reachable_) return nullptr;
    // A fresh source per refresh, as the system's; the answers stay the test's.
    struct Forward : WmiQuerySource {
      RecordedWmi* recorded;
      WmiAnswer Query(const std::string& wql) override { return recorded->Query(wql); }
    };
    auto forward = std::make_unique<Forward>();
    forward->recorded = wmi_.get();
    return forward;
  }

  std::shared_ptr<RecordedVolumes> volumes_ = std::make_shared<RecordedVolumes>();
  std::unique_ptr<RecordedWmi> wmi_ = std::make_unique<RecordedWmi>();
  FakeRegistry registry_;
  bool wmi_reachable_ = true;
  int connections_ = 0;
  WindowsDriveSystem system_{[this] { return Connect(); }, registry_, volumes_};
};

TEST_F(RecordedMachineTest, LettersAndFolderMountedVolumesAreListedAndAGoneServerDoesNotHoldTheList) {
  const auto start = std::chrono::steady_clock::now();
  const std::vector<MountedDrive> drives = system_.ListDrives();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, kDriveQueryLimit + std::chrono::seconds(1)) << "the list waited for each network letter";
  std::vector<std::string> roots;
  for (const MountedDrive& drive : drives) roots.push_back(drive.root);
  EXPECT_EQ(roots,
            (std::vector<std::string>{"C:\\", "D:\\", "E:\\", "F:\\", "G:\\", "Y:\\", "Z:\\", "C:\\mnt\\data\\"}));
  EXPECT_EQ(drives[1].device_number, "\\\\?\\Volume{d}\\");
  EXPECT_EQ(drives[3].file_system, "exFAT");
  EXPECT_EQ(drives[3].kind, DriveKind::kRemovable);
  EXPECT_EQ(drives[4].file_system, "") << "the card reader without a card";
  EXPECT_EQ(drives[6].kind, DriveKind::kRemote);
  EXPECT_EQ(drives[6].file_system, "") << "the server has gone";
  EXPECT_EQ(drives[7].device, "C:\\mnt\\data\\");
  EXPECT_EQ(volumes_->loud_calls(), 0) << "an empty card reader would have raised the \"No disk\" box";
}

TEST_F(RecordedMachineTest, EveryVolumeFindsItsDiskAndTheBusIsTheStorageStacks) {
  CDiskInfo disks;
  disks.Enumerate(system_);
  ASSERT_EQ(disks.Count(), 4);
  EXPECT_EQ(disks.FindByMountPoint("C:\\")->Index, 0);
  EXPECT_EQ(disks.FindByMountPoint("C:\\mnt\\games\\")->Index, 1);
  EXPECT_EQ(disks.FindByMountPoint("E:\\")->Index, 1) << "a spanned volume belongs to its first disk";
  EXPECT_EQ(disks.FindByMountPoint("C:\\mnt\\data\\")->Index, 2);
  EXPECT_EQ(disks.FindByMountPoint("Z:\\"), nullptr);
  EXPECT_EQ(disks.GetInterfaceType(0), "SATA");
  EXPECT_EQ(disks.GetInterfaceType(1), "NVMe") << "WMI calls NVMe disks SCSI";
  EXPECT_EQ(disks.GetInterfaceType(2), "IDE") << "no bus type told: WMI's stays";
  EXPECT_EQ(disks.GetInterfaceType(3), "USB");
  EXPECT_EQ(wmi_->asked.size(), 1u) << "one query for all disks";
  EXPECT_EQ(volumes_->loud_calls(), 0);
}

TEST_F(RecordedMachineTest, ARunDescribesOnlyItsDrive) {
  DriveEntry data;
  data.Root = "C:\\mnt\\data\\";
  data.Device = "C:\\mnt\\data\\";
  IdentifyDrive(system_, true, &data);
  EXPECT_EQ(data.Model, "ST4000DM004-2CV104");
  EXPECT_EQ(wmi_->asked, (std::vector<std::string>{"SELECT * FROM Win32_DiskDrive WHERE Index = 2"}));

  DriveEntry share;
  share.Root = "Z:\\";
  IdentifyDrive(system_, true, &share);
  EXPECT_EQ(share.Model, "");
  EXPECT_EQ(wmi_->asked.size(), 1u) << "WMI was asked about a network drive";
}

TEST_F(RecordedMachineTest, AStuckOrMissingWmiServiceIsToldAndTheDrivesStayListed) {
  wmi_->problems[DiskQuery({})] = "WMI did not answer within 10 s";
  EXPECT_FALSE(system_.ListDisks());
  EXPECT_EQ(system_.LastDiskProblem(), "WMI did not answer within 10 s");
  EXPECT_EQ(system_.ListDrives().size(), 8u);

  wmi_reachable_ = false;
  EXPECT_FALSE(system_.ListDisks());
  EXPECT_EQ(system_.LastDiskProblem(), "the WMI service cannot be reached");

  wmi_reachable_ = true;
  wmi_->problems.clear();
  EXPECT_TRUE(system_.ListDisks());
  EXPECT_EQ(system_.LastDiskProblem(), "");
}

class SystemDrivesTest : public ::testing::Test {
 protected:
  WindowsDriveSystem system_{ConnectWmi, SystemRegistry(), SystemVolumes()};
};

TEST_F(SystemDrivesTest, ListsTheSystemDriveWithItsVolume) {
  const std::vector<MountedDrive> drives = system_.ListDrives();
  const auto c = std::find_if(drives.begin(), drives.end(), [](const MountedDrive& d) { return d.root == "C:\\"; });
  ASSERT_NE(c, drives.end());
  EXPECT_EQ(c->device, "C:");
  EXPECT_EQ(c->kind, DriveKind::kFixed);
  EXPECT_FALSE(c->file_system.empty());
  EXPECT_FALSE(c->device_number.empty()) << "the volume's GUID name";
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
  EXPECT_FALSE(mount->device_number.empty());
  EXPECT_FALSE(system_.FindMountOf("C:\\no such directory"));
}

TEST_F(SystemDrivesTest, TheDisksAndTheDrivesOnThem) {
  auto wmi = ConnectWmi();
  ASSERT_TRUE(wmi) << "COM and WMI must be reachable";
  const WmiAnswer drives = wmi->Query("SELECT * FROM Win32_DiskDrive");
  ASSERT_TRUE(drives.answered()) << drives.problem;
  ASSERT_FALSE(drives.objects.empty());
  EXPECT_TRUE(drives.objects.front().count("Index"));
  const auto disks = system_.ListDisks();
  ASSERT_TRUE(disks) << system_.LastDiskProblem();
  const bool holds_c = std::any_of(disks->begin(), disks->end(), [](const DiskInfoEntry& disk) {
    return std::find(disk.Letters.begin(), disk.Letters.end(), "C:\\") != disk.Letters.end();
  });
  EXPECT_TRUE(holds_c) << "the volume of C: told no disk";
  DriveEntry c;
  c.Root = "C:\\";
  IdentifyDrive(system_, true, &c);
  EXPECT_FALSE(c.Model.empty());
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
}  // namespace korvanel
