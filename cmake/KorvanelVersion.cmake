# The version is the one in project() in CMakeLists.txt; everything else takes it from there:
# --version and the panel's title (through the language table), the Debian package, the AppStream
# metainfo, and korvanel_version.h for code and Windows resource scripts (on the include path of
# every target that links korvanel_includes).
foreach(part MAJOR MINOR PATCH)
  set(KORVANEL_VERSION_${part} "${PROJECT_VERSION_${part}}")
  if("${KORVANEL_VERSION_${part}}" STREQUAL "")
    set(KORVANEL_VERSION_${part} 0)
  endif()
endforeach()

set(KORVANEL_GENERATED_INCLUDE_DIR ${CMAKE_BINARY_DIR}/generated/include)
configure_file(${CMAKE_CURRENT_LIST_DIR}/korvanel_version.h.in ${KORVANEL_GENERATED_INCLUDE_DIR}/korvanel_version.h @ONLY)
