# Windows: unbuffered and overlapped files, the user's folders and locale, the shell.
set(platform_sources
  windows/command_line.cpp
  windows/console_state.cpp
  windows/console_windows.cpp
  windows/default_application_windows.cpp
  windows/files_windows.cpp
  windows/handle_paths.cpp
  windows/locale_windows.cpp
  windows/os_version_windows.cpp
  windows/owner_only_security.cpp
  windows/paths_windows.cpp
  windows/stop_requests_windows.cpp
  windows/system_tools_windows.cpp
  windows/terminal_windows.cpp
  windows/user_language_windows.cpp
  windows/volume_paths.cpp
  windows/volume_query.cpp
  windows/wine.cpp
)
set(platform_libraries ole32 shell32 advapi32)

# Added to korvanel_common and korvanel_testing (see ../CMakeLists.txt).
set(common_system_sources windows/sys_error_windows.cpp windows/wide_text.cpp)
set(testing_sources windows/test_environment_windows.cpp)

set(storage_sources
  windows/clock_windows.cpp
  windows/large_page_buffer_windows.cpp
  windows/queued_file_windows.cpp
  windows/storage_windows.cpp
)
set(storage_libraries korvanel_platform advapi32 ntdll)

set(platform_test_sources
  tests/windows/command_line_test.cpp
  tests/windows/files_windows_test.cpp
  tests/windows/stop_requests_windows_test.cpp
  tests/windows/storage_windows_test.cpp
  tests/windows/system_windows_test.cpp
  tests/windows/volume_answers_test.cpp
  tests/windows/wide_text_test.cpp
)
