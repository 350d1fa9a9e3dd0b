#include "drives/tests/sysfs_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace korvanel::testing {

namespace fs = std::filesystem;

SysfsFixture::SysfsFixture() {
  std::string pattern = fs::temp_directory_path() / "korvanel-sysfs-XXXXXX";
  root_ = fs::canonical(mkdtemp(pattern.data())).string();
  fs::create_directories(root_ + "/sys/devices");
  fs::create_directories(root_ + "/sys/block");
  fs::create_directories(root_ + "/dev");
}

SysfsFixture::~SysfsFixture() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

SystemRoots SysfsFixture::Roots() const {
  return {root_ + "/sys", root_ + "/mountinfo", root_ + "/dev", root_ + "/udev"};
}

void SysfsFixture::File(const std::string& relative, const std::string& content) {
  const fs::path path = root_ + "/" + relative;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

void SysfsFixture::Link(const std::string& relative, const std::string& target_relative) {
  const fs::path path = root_ + "/" + relative;
  fs::create_directories(path.parent_path());
  fs::create_symlink(root_ + "/" + target_relative, path);
}

void SysfsFixture::Device(const std::string& relative, const std::string& subsystem,
                          const std::string& driver) {
  fs::create_directories(root_ + "/" + relative);
  if (!subsystem.empty()) Link(relative + "/subsystem", "sys/bus/" + subsystem);
  if (!driver.empty()) Link(relative + "/driver", "sys/bus/any/drivers/" + driver);
}

void SysfsFixture::Disk(const std::string& directory, const std::string& number, uint64_t sectors,
                        bool removable) {
  const std::string name = fs::path(directory).filename().string();
  File(directory + "/dev", number + "\n");
  File(directory + "/size", std::to_string(sectors) + "\n");
  File(directory + "/removable", removable ? "1\n" : "0\n");
  fs::create_directories(root_ + "/" + directory + "/slaves");
  Link("sys/block/" + name, directory);
  Link("sys/class/block/" + name, directory);
  Link("sys/dev/block/" + number, directory);
}

void SysfsFixture::Partition(const std::string& disk_directory, const std::string& name,
                             const std::string& number) {
  const std::string directory = disk_directory + "/" + name;
  File(directory + "/dev", number + "\n");
  File(directory + "/partition", "1\n");
  Link("sys/class/block/" + name, directory);
  Link("sys/dev/block/" + number, directory);
}

void SysfsFixture::MountTable(const std::string& text) { File("mountinfo", text); }

}  // namespace korvanel::testing
