// Real file systems on loop devices, mounted for the test (needs root, mkfs.xfs and mkfs.btrfs;
// skipped otherwise). Every mount and loop device is released even when a test fails.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "drives/drive_list.h"
#include "drives/drive_listing.h"
#include "drives/linux/linux_drive_system.h"
#include "drives/linux/volume_label.h"
#include "drives/volume_queries.h"

namespace korvanel {
namespace {

namespace fs = std::filesystem;

// Runs a shell command; its standard output without the trailing newline, or nullopt on failure.
std::optional<std::string> RunCommand(const std::string& command) {
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  if (pclose(pipe) != 0) return std::nullopt;
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

class LoopDevice {
 public:
  LoopDevice(const std::string& image, uint64_t bytes, const std::string& mkfs) : image_(image) {
    std::ofstream{image};  // sparse: only what mkfs writes takes space
    fs::resize_file(fs::path(image), bytes);
    if (!RunCommand(mkfs + " " + image)) return;
    device_ = RunCommand("losetup --find --show " + image).value_or("");
  }
  ~LoopDevice() {
    if (!device_.empty()) RunCommand("losetup -d " + device_);
  }
  const std::string& device() const { return device_; }
  const std::string& image() const { return image_; }

 private:
  std::string image_;
  std::string device_;
};

class Mount {
 public:
  Mount(const std::string& source, const std::string& target, const char* type, unsigned long flags,
        const char* data = nullptr)
      : target_(target) {
    if (fs::is_regular_file(source)) {
      std::ofstream{target};
    } else {
      fs::create_directories(target);
    }
    mounted_ = mount(source.c_str(), target.c_str(), type, flags, data) == 0;
  }
  ~Mount() {
    if (mounted_) umount2(target_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string target_;
  bool mounted_ = false;
};

struct MountedMachine {
  std::string base;
  std::vector<std::unique_ptr<LoopDevice>> loops;  // ext4, xfs, btrfs, read-only ext4
  std::vector<std::unique_ptr<Mount>> mounts;      // released before the loop devices

  ~MountedMachine() {
    while (!mounts.empty()) mounts.pop_back();  // inner mounts first
    loops.clear();
    std::error_code ignored;
    fs::remove_all(base, ignored);
  }
};

class RealMounts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (geteuid() != 0) GTEST_SKIP() << "loop mounts need root";
    if (!RunCommand("command -v mkfs.xfs") || !RunCommand("command -v mkfs.btrfs")) {
      GTEST_SKIP() << "mkfs.xfs or mkfs.btrfs is missing";
    }
    std::string pattern = fs::temp_directory_path() / "korvanel-mounts-XXXXXX";
    machine_ = new MountedMachine{fs::canonical(mkdtemp(pattern.data())).string(), {}, {}};
    if (!Build(*machine_)) {
      delete machine_;
      machine_ = nullptr;
      GTEST_SKIP() << "loop devices or mounts are not available here";
    }
  }
  static void TearDownTestSuite() {
    delete machine_;
    machine_ = nullptr;
  }

  static bool Build(MountedMachine& machine) {
    const std::string& base = machine.base;
    const struct {
      const char* name;
      uint64_t bytes;
      const char* mkfs;
    } images[] = {{"ext4", 16 << 20, "mkfs.ext4 -q -L KVEXT"},
                  {"xfs", 320 << 20, "mkfs.xfs -q -f -L KVXFS"},
                  {"btrfs", 128 << 20, "mkfs.btrfs -q -f -L KVBTR"},
                  {"readonly", 16 << 20, "mkfs.ext4 -q -L KVRO"}};
    for (const auto& image : images) {
      machine.loops.push_back(
          std::make_unique<LoopDevice>(base + "/" + image.name + ".img", image.bytes, image.mkfs));
      if (machine.loops.back()->device().empty()) return false;
      const unsigned long flags = std::string(image.name) == "readonly" ? MS_RDONLY : 0;
      const std::string type = std::string(image.name) == "readonly" ? "ext4" : image.name;
      machine.mounts.push_back(std::make_unique<Mount>(
          machine.loops.back()->device(), base + "/" + image.name, type.c_str(), flags));
    }
    machine.mounts.push_back(
        std::make_unique<Mount>("tmpfs", base + "/ram", "tmpfs", 0, "size=8m"));
    machine.mounts.push_back(std::make_unique<Mount>(
        base + "/ext4", base + "/ext4-bind-with-a-longer-name", nullptr, MS_BIND));
    fs::create_directories(base + "/ext4/sub");
    std::ofstream{base + "/ext4/file"};
    // A file bound elsewhere, with a mount point shorter than its file system's.
    machine.mounts.push_back(
        std::make_unique<Mount>(base + "/ext4/file", base + "/f", nullptr, MS_BIND));
    for (const auto& mount : machine.mounts) {
      if (!mount->mounted()) return false;
    }
    return RunCommand("btrfs subvolume create " + base + "/btrfs/volume").has_value();
  }

  static std::string Path(const std::string& name) { return machine_->base + "/" + name; }
  static const LoopDevice& Loop(size_t index) { return *machine_->loops[index]; }

  // The entry of `root`, or a failed test.
  static DriveEntry EntryAt(const DriveTable& table, const std::string& root) {
    for (const DriveEntry& entry : table.Entries()) {
      if (entry.Root == root) return entry;
    }
    ADD_FAILURE() << root << " is not listed";
    return {};
  }

  static MountedMachine* machine_;
  LinuxDriveSystem system_;
};

MountedMachine* RealMounts::machine_ = nullptr;

TEST_F(RealMounts, ListsEachFileSystemOnceWithItsKind) {
  std::map<std::string, MountedDrive> ours;
  for (const MountedDrive& drive : system_.ListDrives()) {
    if (drive.root.rfind(machine_->base + "/", 0) == 0) {
      EXPECT_TRUE(ours.emplace(drive.root, drive).second) << drive.root << " listed twice";
    }
  }
  ASSERT_EQ(ours.size(), 5u) << "neither bind mount may be listed";
  const char* loops[] = {"ext4", "xfs", "btrfs", "readonly"};
  for (size_t i = 0; i < 4; ++i) {
    const MountedDrive& drive = ours[Path(loops[i])];
    EXPECT_EQ(drive.device, Loop(i).device());
    EXPECT_EQ(drive.kind, DriveKind::kFixed);
    EXPECT_EQ(drive.read_only, i == 3);
  }
  EXPECT_EQ(ours[Path("ram")].kind, DriveKind::kRamDisk);
}

TEST_F(RealMounts, RefreshIdentifiesLoopDisksAndTheirVolumes) {
  DriveList list(system_);
  ASSERT_TRUE(list.Refresh());
  const char* names[] = {"ext4", "xfs", "btrfs", "readonly"};
  const char* labels[] = {"KVEXT", "KVXFS", "KVBTR", "KVRO"};
  const char* types[] = {"ext4", "xfs", "btrfs", "ext4"};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(names[i]);
    const DriveEntry entry = EntryAt(list.Table(), Path(names[i]));
    // The image's path would name where the user keeps it: only its file system is told.
    const std::optional<MountedDrive> holder = system_.FindMountOf(Loop(i).image());
    ASSERT_TRUE(holder);
    EXPECT_EQ(entry.Model, "Loop device (file on " + holder->file_system + ")");
    EXPECT_EQ(entry.Interface, "Loop");
    EXPECT_EQ(entry.Driver, "loop");
    EXPECT_EQ(entry.SizeText, std::to_string(fs::file_size(Loop(i).image())));
    EXPECT_EQ(entry.FileSystem, types[i]);
    EXPECT_EQ(entry.VolumeLabel, labels[i]);
    EXPECT_GT(entry.TotalBytes, 0u);
    EXPECT_LE(entry.FreeBytes, entry.TotalBytes);
    EXPECT_NE(entry.Summary.find(" Partition: (" + Loop(i).device() + ") " + types[i] + " - [" +
                                 labels[i] + "]\n"),
              std::string::npos)
        << entry.Summary;
  }
  EXPECT_TRUE(EntryAt(list.Table(), Path("readonly")).ReadOnly);
  // No disk holds a tmpfs; its file system, size and space are still known.
  const DriveEntry ram = EntryAt(list.Table(), Path("ram"));
  EXPECT_EQ(ram.Summary, " tmpfs\n 0.01 GB\n Partition: (tmpfs) tmpfs\n Free 0.01 GB of 0.01 GB");
  EXPECT_EQ(ram.FileSystem, "tmpfs");
  EXPECT_EQ(ram.TotalBytes, uint64_t{8} << 20);
  EXPECT_EQ(ram.FreeBytes, uint64_t{8} << 20);
}

TEST_F(RealMounts, DirectoriesFindTheDriveOfTheirMount) {
  DriveList list(system_);
  ASSERT_TRUE(list.Refresh());
  const auto root_of = [&](const std::string& path) {
    const int index = FindDrive(list.Table(), system_, path);
    return index < 0 ? std::string("(none)") : list.Table().Entry(index).Root;
  };
  EXPECT_EQ(root_of(Path("ext4/sub")), Path("ext4"));
  EXPECT_EQ(root_of(Path("ext4-bind-with-a-longer-name/sub")), Path("ext4"));
  // A subvolume has a device number of its own but lies in the btrfs mount.
  EXPECT_EQ(root_of(Path("btrfs/volume")), Path("btrfs"));
  EXPECT_EQ(root_of(Path("ram")), Path("ram"));
  EXPECT_EQ(root_of(Path("no-such-directory")), "(none)");
}

TEST_F(RealMounts, LabelsFromTheFileSystemOrTheSuperblockAndSpaceOfATmpfs) {
  const SystemRoots roots;
  // Without a device only the file system itself can answer.
  EXPECT_EQ(ReadVolumeLabel(roots, Path("xfs"), ""), "KVXFS");
  EXPECT_EQ(ReadVolumeLabel(roots, Path("btrfs"), ""), "KVBTR");
  // Without a usable mount point only the device's superblock can (root may read it).
  EXPECT_EQ(ReadVolumeLabel(roots, Path("no-such-directory"), Loop(0).device()), "KVEXT");

  uint64_t total = 0;
  EXPECT_EQ(GetDiskSpace(system_, Path("ram"), &total), int64_t{8} << 20);
  EXPECT_EQ(total, uint64_t{8} << 20);
  total = 7;
  EXPECT_EQ(GetDiskSpace(system_, Path("no-such-directory"), &total), -1);
  EXPECT_EQ(total, 7u);
}

}  // namespace
}  // namespace korvanel
