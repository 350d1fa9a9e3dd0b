# Tests of a cross build: GoogleTest built from Debian's sources for the target, and every test
# program run through Wine (scripts/wine_run.sh keeps a private, headless Wine prefix in the build).
set(KORVANEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${KORVANEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# GoogleTest's own build names its targets GTest::gtest_main and GTest::gmock already.

set(KORVANEL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine_run.sh ${KORVANEL_WINE_PREFIX})
