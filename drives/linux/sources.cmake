# Linux: mounted file systems from the mount table, disks from sysfs.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BLKID REQUIRED IMPORTED_TARGET blkid)

add_library(korvanel_drives_system STATIC
  linux/block_stack.cpp
  linux/disk_probe.cpp
  linux/file_system_routines_linux.cpp
  linux/linux_drive_system.cpp
  linux/mount_filter.cpp
  linux/mount_table.cpp
  linux/sysfs_files.cpp
  linux/volume_label.cpp
)
target_link_libraries(korvanel_drives_system
  PUBLIC korvanel_drives
  PRIVATE korvanel_warnings PkgConfig::BLKID)

korvanel_add_test(korvanel_drives_tests
  SOURCES
    tests/sysfs_fixture.cpp
    tests/drive_summary_test.cpp
    tests/drive_list_test.cpp
    tests/mount_table_test.cpp
    tests/sysfs_fixture_test.cpp
    tests/real_mounts_test.cpp
  LIBS korvanel_drives_system
  LABELS drives)
