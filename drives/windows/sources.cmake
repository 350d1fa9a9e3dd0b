# Windows: drive letters, volumes and the disks under them from the W functions and the volume
# manager, disks from WMI, port drivers from the registry's device map.
add_library(korvanel_drives_system STATIC
  windows/com_wmi_source.cpp
  windows/registry_reader.cpp
  windows/volume_source.cpp
  windows/windows_drive_system.cpp
  windows/wmi_disks.cpp
)
target_link_libraries(korvanel_drives_system
  PUBLIC korvanel_drives korvanel_platform
  PRIVATE korvanel_warnings ole32 oleaut32 wbemuuid advapi32)

korvanel_add_test(korvanel_drives_tests
  SOURCES
    tests/drive_summary_test.cpp
    tests/test_place_test.cpp
    tests/bounded_call_test.cpp
    tests/windows/wmi_disks_test.cpp
    tests/windows/windows_drive_system_test.cpp
  LIBS korvanel_drives_system korvanel_lang
  LABELS drives)
