# korvanel_add_fuzzer(NAME SOURCES a.cpp LIBS lib1 lib2 CORPUS dir LABELS subsystem)
# A libFuzzer target for a parser of outside input, built only with KORVANEL_FUZZ. CORPUS is the
# seed corpus kept in the repository; what a run finds goes to build/fuzz-corpus/NAME, so the
# seeds stay as they are. Every target is also a test (labels fuzz and the subsystem) that fuzzes for
# $KORVANEL_FUZZ_SECONDS (default 5) seconds; `make fuzz` sets a minute.
function(korvanel_add_fuzzer name)
  if(NOT KORVANEL_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} korvanel_warnings korvanel_includes)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  file(MAKE_DIRECTORY ${work} ${CMAKE_BINARY_DIR}/fuzz-findings)
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/run_fuzzer.sh $<TARGET_FILE:${name}> ${work} ${ARG_CORPUS}
            ${CMAKE_BINARY_DIR}/fuzz-findings/)
  korvanel_test_labels(${name} ${ARG_LABELS} fuzz)
endfunction()
