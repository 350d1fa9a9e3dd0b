include(${CMAKE_CURRENT_LIST_DIR}/KorvanelTestLabels.cmake)

# korvanel_test_labels(NAME subsystem [kinds...]): checks and sets the labels of a test added with
# add_test; in a cross build the test also gets wine, as it runs under Wine.
function(korvanel_test_labels name)
  set(labels ${ARGN})
  korvanel_require_test_labels(${name} "${labels}")
  if(CMAKE_CROSSCOMPILING AND NOT "wine" IN_LIST labels)
    list(APPEND labels wine)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}")
endfunction()

# korvanel_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 LABELS subsystem [kinds...])
# One GoogleTest executable per subsystem keeps link time down on small machines.
function(korvanel_add_test name)
  if(NOT KORVANEL_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} korvanel_testing GTest::gtest_main GTest::gmock korvanel_warnings korvanel_includes)
  if(CMAKE_CROSSCOMPILING)
    # Each start of a program under an emulator costs a second or more: one test per program.
    add_test(NAME ${name} COMMAND ${name})
    korvanel_test_labels(${name} ${ARG_LABELS})
  else()
    korvanel_require_test_labels(${name} "${ARG_LABELS}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# The test that checks the labels of every test in this build, once the tree has added its tests.
function(korvanel_add_label_check)
  if(NOT KORVANEL_BUILD_TESTS)
    return()
  endif()
  add_test(NAME korvanel_test_labels
    COMMAND ${CMAKE_COMMAND} -DCTEST=${CMAKE_CTEST_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
            -DCROSSCOMPILING=${CMAKE_CROSSCOMPILING} -P ${PROJECT_SOURCE_DIR}/cmake/check_test_labels.cmake)
  korvanel_test_labels(korvanel_test_labels package)
endfunction()
