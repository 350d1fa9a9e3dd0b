#pragma once
// Where the Linux drive queries read the system's state; tests point these at fixture trees.

#include <string>

namespace korvanel {

struct SystemRoots {
  std::string sysfs = "/sys";
  std::string mountinfo = "/proc/self/mountinfo";
  std::string dev = "/dev";
  std::string udev_data = "/run/udev/data";
};

}  // namespace korvanel
