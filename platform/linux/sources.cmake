# Linux: O_DIRECT files, io_uring with native AIO as the fallback, XDG directories, POSIX locales.
set(platform_sources
  linux/console_linux.cpp
  linux/terminal_linux.cpp
  linux/default_application_linux.cpp
  linux/detached_process.cpp
  linux/files_linux.cpp
  linux/locale_linux.cpp
  linux/os_version_linux.cpp
  linux/paths_linux.cpp
  linux/stop_requests_linux.cpp
  linux/system_tools_linux.cpp
  linux/user_language_linux.cpp
)
set(platform_libraries "")

# Added to korvanel_common and korvanel_testing (see ../CMakeLists.txt).
set(common_system_sources linux/sys_error_linux.cpp)
set(testing_sources linux/test_environment_linux.cpp)

find_package(PkgConfig REQUIRED)
pkg_check_modules(URING REQUIRED IMPORTED_TARGET liburing)
find_library(AIO_LIBRARY aio REQUIRED)
set(storage_sources
  linux/clock_linux.cpp
  linux/dio_alignment.cpp
  linux/large_page_buffer.cpp
  linux/queued_aio.cpp
  linux/queued_uring.cpp
  linux/storage_linux.cpp
)
set(storage_libraries PkgConfig::URING ${AIO_LIBRARY})

set(platform_test_sources
  tests/clock_linux_test.cpp
  tests/default_application_test.cpp
  tests/large_page_buffer_test.cpp
  tests/locale_linux_test.cpp
  tests/paths_linux_test.cpp
  tests/system_tools_linux_test.cpp
  tests/test_directory_test.cpp
)
