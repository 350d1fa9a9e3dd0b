// The texts devices and udev hand us, read into values; what the fuzzer found is kept here.
#include "drives/linux/sysfs_texts.h"

#include <gtest/gtest.h>

namespace korvanel {
namespace {

TEST(SysfsTexts, ReadSerialsSizesAndNames) {
  EXPECT_EQ(FirstLine("  Samsung SSD \t\nsecond\n"), "Samsung SSD");
  EXPECT_EQ(SerialFromVpdPage(std::string("\0\x80\0\x0E  S3Z1NB0K1234 xyz", 21)), "S3Z1NB0K1234");
  EXPECT_EQ(SerialFromVpdPage(std::string("\0\x83\0\x04" "abcd", 8)), "");  // another page
  EXPECT_EQ(SerialFromVpdPage(std::string("\0\x80\xFF\xFF" "ab", 6)), "ab");  // longer than it is
  EXPECT_EQ(UdevProperty("E:ID_MODEL=x\nE:ID_SERIAL_SHORT= ABC123 \nE:X=1\n", "ID_SERIAL_SHORT"), "ABC123");
  EXPECT_EQ(UdevProperty("E:ID_SERIAL_SHORT=last", "ID_SERIAL_SHORT"), "last");
  EXPECT_EQ(UdevProperty("E:ID_SERIAL=long", "ID_SERIAL_SHORT"), "");
  EXPECT_EQ(WithoutDeletedMark("/images/disk.img (deleted)"), "/images/disk.img");
  EXPECT_EQ(UnescapeUdevName("My\\x20Disk\\x2"), "My Disk\\x2");
}

TEST(SysfsTexts, SizesTooLargeForSixtyFourBitsDoNotWrap) {
  EXPECT_EQ(BytesFromSectors("976773168\n"), "500107862016");
  EXPECT_EQ(BytesFromSectors("junk"), "0");
  EXPECT_EQ(BytesFromSectors("36028797018963967"), "18446744073709551104");  // the largest that fits
  // Found by fuzzing: 2^55 sectors and more wrapped to a small size.
  EXPECT_EQ(BytesFromSectors("9767977679767731967"), "18446744073709551615");
}

}  // namespace
}  // namespace korvanel
