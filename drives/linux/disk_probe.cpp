#include "drives/linux/disk_probe.h"

#include <cctype>
#include <vector>

#include "drives/linux/mount_table.h"
#include "drives/linux/sysfs_files.h"
#include "drives/linux/sysfs_texts.h"

namespace korvanel {
namespace {

// One device on the way from a disk up to the system's root device.
struct DeviceLevel {
  std::string path;
  std::string subsystem;  // "scsi", "usb", "pci", "nvme", "mmc", "virtio", ...
  std::string driver;     // bound driver, empty for none
};

using DeviceChain = std::vector<DeviceLevel>;

DeviceChain ChainFrom(const SystemRoots& roots, const std::string& device_path) {
  DeviceChain chain;
  const std::string top = ResolvePath(roots.sysfs + "/devices");
  for (std::string path = device_path; !top.empty() && path.rfind(top + "/", 0) == 0;
       path = ParentPath(path)) {
    chain.push_back({path, LinkTargetName(path + "/subsystem"), LinkTargetName(path + "/driver")});
  }
  return chain;
}

bool HasSubsystem(const DeviceChain& chain, const std::string& subsystem) {
  for (const DeviceLevel& level : chain) {
    if (level.subsystem == subsystem) return true;
  }
  return false;
}

std::string FirstDriver(const DeviceChain& chain, const std::string& skipped_subsystem = {}) {
  for (const DeviceLevel& level : chain) {
    if (!level.driver.empty() && level.subsystem != skipped_subsystem) return level.driver;
  }
  return {};
}

// The letters a kernel name starts with: "loop" for loop3, "mmcblk" for mmcblk0.
std::string NamePrefix(const std::string& name) {
  size_t end = 0;
  while (end < name.size() && std::isalpha(static_cast<unsigned char>(name[end]))) ++end;
  return name.substr(0, end);
}

bool IsHostName(const std::string& name) {
  return name.size() > 4 && name.rfind("host", 0) == 0 &&
         std::isdigit(static_cast<unsigned char>(name[4]));
}

// The SCSI host adapter's driver: "ahci", "usb-storage", "uas", "virtio_scsi", ...
std::string ScsiHostDriver(const SystemRoots& roots, const DeviceChain& chain) {
  for (const DeviceLevel& level : chain) {
    const std::string host = BaseName(level.path);
    if (!IsHostName(host)) continue;
    std::string name = ReadAttribute(level.path + "/scsi_host/" + host + "/proc_name");
    if (name.empty()) name = ReadAttribute(roots.sysfs + "/class/scsi_host/" + host + "/proc_name");
    return name;
  }
  return {};
}

std::string ScsiInterface(const std::string& host_driver) {
  if (host_driver == "ahci" || host_driver.rfind("sata_", 0) == 0 ||
      host_driver.rfind("ata_", 0) == 0) {
    return "SATA";
  }
  if (host_driver.rfind("pata_", 0) == 0) return "PATA";
  if (host_driver == "iscsi_tcp") return "iSCSI";
  return "SCSI";
}

// With native NVMe multipath the disk hangs below the subsystem; its first controller leads on.
std::string NvmeController(const std::string& device_path, const DeviceChain& chain) {
  if (chain.empty() || chain.front().subsystem != "nvme-subsystem") return device_path;
  for (const std::string& entry : ListDirectory(device_path)) {
    if (entry.rfind("nvme", 0) == 0 && NamePrefix(entry) == "nvme") {
      return ResolvePath(device_path + "/" + entry);
    }
  }
  return device_path;
}

std::string SerialFromUdev(const SystemRoots& roots, const std::string& device_number) {
  return UdevProperty(ReadRawAttribute(roots.udev_data + "/b" + device_number), "ID_SERIAL_SHORT");
}

std::string UsbSerial(const DeviceChain& chain) {
  for (const DeviceLevel& level : chain) {
    if (level.subsystem != "usb") continue;
    const std::string serial = ReadAttribute(level.path + "/serial");
    if (!serial.empty()) return serial;
  }
  return {};
}

std::string ScsiModel(const std::string& device_path) {
  const std::string vendor = ReadAttribute(device_path + "/vendor");
  const std::string model = ReadAttribute(device_path + "/model");
  // libata puts "ATA" where the vendor would be; it means nothing to a user.
  if (vendor.empty() || vendor == "ATA" || model.empty()) return model;
  return vendor + " " + model;
}

// The backing file's path would name a user's files (/home/anna/disk.img) wherever the model goes,
// the comparison site included; only the kind of file system that holds it is said.
std::string LoopModel(const SystemRoots& roots, const std::string& disk_path) {
  const std::string backing = WithoutDeletedMark(ReadAttribute(disk_path + "/loop/backing_file"));
  if (backing.empty()) return "Loop device";
  const std::vector<MountRecord> mounts = VisibleMounts(ReadMountTable(roots.mountinfo));
  const MountRecord* holder = FindMountByPrefix(mounts, backing);
  return holder != nullptr ? "Loop device (file on " + holder->file_system + ")" : "Loop device (file)";
}

std::string SizeInBytes(const std::string& disk_path) { return BytesFromSectors(ReadAttribute(disk_path + "/size")); }

// Bus, controller driver, model and serial of a disk that hangs on real hardware (or virtio).
void ProbeDeviceChain(const SystemRoots& roots, const std::string& disk_path, DiskFacts* facts) {
  const std::string device_path = ResolvePath(disk_path + "/device");
  DeviceChain chain = ChainFrom(roots, device_path);
  std::string serial_source = device_path;
  if (HasSubsystem(chain, "usb") || HasSubsystem(chain, "scsi")) {
    const std::string host_driver = ScsiHostDriver(roots, chain);
    facts->interface = HasSubsystem(chain, "usb") ? "USB" : ScsiInterface(host_driver);
    facts->driver = host_driver.empty() ? FirstDriver(chain) : host_driver;
    facts->model = ScsiModel(device_path);
    facts->serial = SerialFromVpdPage(ReadRawAttribute(device_path + "/vpd_pg80"));
    if (facts->serial.empty()) facts->serial = UsbSerial(chain);
    facts->optical = ReadAttribute(device_path + "/type") == "5";
  } else if (HasSubsystem(chain, "nvme") || HasSubsystem(chain, "nvme-subsystem")) {
    const std::string controller = NvmeController(device_path, chain);
    const std::string transport = ReadAttribute(controller + "/transport");
    facts->interface = (transport.empty() || transport == "pcie") ? "NVMe" : "NVMe/" + transport;
    facts->driver = FirstDriver(ChainFrom(roots, controller));
    facts->model = ReadAttribute(device_path + "/model");
    facts->serial = ReadAttribute(device_path + "/serial");
  } else if (HasSubsystem(chain, "mmc")) {
    facts->interface = "MMC";
    facts->driver = FirstDriver(chain, "mmc");  // the host controller's, not the card's mmcblk
    facts->model = ReadAttribute(device_path + "/name");
    facts->serial = ReadAttribute(device_path + "/serial");
  } else if (HasSubsystem(chain, "virtio")) {
    facts->interface = "VirtIO";
    facts->driver = FirstDriver(chain);
    facts->model = "VirtIO Block Device";  // the kernel has no model for it
  } else {
    facts->interface = chain.empty() ? "?" : chain.front().subsystem;
    facts->driver = FirstDriver(chain);
    facts->model = ReadAttribute(device_path + "/model");
  }
  if (facts->serial.empty()) facts->serial = ReadAttribute(disk_path + "/serial");
}

// Disks without hardware below them: loop, zram, nbd, ...
void ProbeVirtualDisk(const SystemRoots& roots, const std::string& disk_path, DiskFacts* facts) {
  const std::string prefix = NamePrefix(facts->name);
  facts->driver = prefix;
  if (prefix == "loop") {
    facts->interface = "Loop";
    facts->model = LoopModel(roots, disk_path);
  } else if (prefix == "zram" || prefix == "ram") {
    facts->interface = "RAM";
  } else if (prefix == "nbd") {
    facts->interface = "NBD";
  } else {
    facts->interface = "Virtual";
  }
}

}  // namespace

DiskFacts ProbeDisk(const SystemRoots& roots, const std::string& name) {
  DiskFacts facts;
  const std::string disk_path = roots.sysfs + "/block/" + name;
  if (name.empty() || !PathExists(disk_path)) return facts;
  facts.name = name;
  facts.size_bytes = SizeInBytes(disk_path);
  facts.stacked = !ListDirectory(disk_path + "/slaves").empty() || PathExists(disk_path + "/dm") ||
                  PathExists(disk_path + "/md");
  if (PathExists(disk_path + "/device")) {
    ProbeDeviceChain(roots, disk_path, &facts);
  } else {
    ProbeVirtualDisk(roots, disk_path, &facts);
  }
  if (facts.serial.empty()) facts.serial = SerialFromUdev(roots, ReadAttribute(disk_path + "/dev"));
  if (facts.model.empty()) facts.model = name;
  facts.optical = facts.optical || NamePrefix(name) == "sr";
  facts.removable = ReadAttribute(disk_path + "/removable") == "1" || facts.interface == "USB" ||
                    facts.interface == "MMC";
  return facts;
}

}  // namespace korvanel
