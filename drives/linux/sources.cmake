# Linux: mounted file systems from the mount table, disks from sysfs.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BLKID REQUIRED IMPORTED_TARGET blkid)

add_library(korvanel_drives_system STATIC
  linux/block_stack.cpp
  linux/disk_probe.cpp
  linux/linux_drive_system.cpp
  linux/mount_filter.cpp
  linux/mount_table.cpp
  linux/sysfs_files.cpp
  linux/sysfs_texts.cpp
  linux/volume_label.cpp
  linux/writable_places_linux.cpp
)
target_link_libraries(korvanel_drives_system
  PUBLIC korvanel_drives korvanel_platform
  PRIVATE korvanel_warnings PkgConfig::BLKID)

korvanel_add_test(korvanel_drives_tests
  SOURCES
    tests/sysfs_fixture.cpp
    tests/drive_summary_test.cpp
    tests/drive_list_test.cpp
    tests/mount_table_test.cpp
    tests/sysfs_fixture_test.cpp
    tests/sysfs_texts_test.cpp
    tests/real_mounts_test.cpp
    tests/test_place_test.cpp
    tests/bounded_call_test.cpp
  LIBS korvanel_drives_system
  LABELS drives)

korvanel_add_fuzzer(korvanel_mountinfo_fuzzer
  SOURCES fuzz/mountinfo_fuzzer.cpp
  LIBS korvanel_drives_system
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/mountinfo
  LABELS drives)
korvanel_add_fuzzer(korvanel_sysfs_text_fuzzer
  SOURCES fuzz/sysfs_text_fuzzer.cpp
  LIBS korvanel_drives_system
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/sysfs_text
  LABELS drives)
