#pragma once
// The texts that sysfs, udev and the kernel hand us about disks, read into values. Kept apart from
// the file access so that they can be tested and fuzzed on their own: a device chooses its own
// model, serial and VPD pages, and udev's database is written by rules anyone may install.

#include <string>

namespace korvanel {

// An attribute's first line without blanks, tabs, newlines and NULs at either end.
std::string FirstLine(const std::string& content);

// The unit serial number from a SCSI VPD page 0x80: byte 1 is the page code, bytes 2-3 the length,
// then the text. Empty when the page is not one.
std::string SerialFromVpdPage(const std::string& page);

// The value of property `key` ("ID_SERIAL_SHORT") in a udev database file ("E:KEY=value" lines).
std::string UdevProperty(const std::string& database, const std::string& key);

// The bytes of a disk from its size attribute in 512-byte sectors, in decimal; "0" for no number.
// A size too large for 64 bits gives the largest 64-bit number rather than a wrapped, small one.
std::string BytesFromSectors(const std::string& sectors);

// A loop device's backing file without the " (deleted)" the kernel appends once the file is gone.
std::string WithoutDeletedMark(std::string file);

// A name from /dev/disk/by-label with udev's "\xHH" escapes decoded ("My\x20Disk" is "My Disk").
std::string UnescapeUdevName(const std::string& name);

}  // namespace korvanel
