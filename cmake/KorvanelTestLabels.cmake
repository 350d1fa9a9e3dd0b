# Test labels. Every test carries exactly one subsystem label, the part of Korvanel it tests, and
# the kind labels that apply to it, so that a run can leave tests out or take them alone
# (`ctest -L`/`-LE`, `make check ONLY=... SKIP=...`). Configuring fails on a test given a label
# missing here or no subsystem label, and the test korvanel_test_labels checks every test ctest
# knows, however it was added.
set(KORVANEL_TEST_SUBSYSTEMS
  common platform settings results engine lang drives export panel cli
  package  # how Korvanel is shipped and kept: the Debian package, man pages, completion, these labels,
           # which folder may include which
)
set(KORVANEL_TEST_KINDS
  root  # needs root for what it is about (loop mounts, another user's files); skips (77) without it
  fuzz  # a libFuzzer run (build-sanitize only)
  wine  # runs under Wine: every test of a cross build has it
  gui   # needs a display or a Qt platform (Xvfb, offscreen)
)

# Fails when LABELS (of test NAME) break the rules above.
function(korvanel_require_test_labels name labels)
  set(subsystems "")
  foreach(label IN LISTS labels)
    if(label IN_LIST KORVANEL_TEST_SUBSYSTEMS)
      list(APPEND subsystems ${label})
    elseif(NOT label IN_LIST KORVANEL_TEST_KINDS)
      message(FATAL_ERROR "Test ${name}: unknown label '${label}' (the labels are listed in cmake/KorvanelTestLabels.cmake)")
    endif()
  endforeach()
  list(LENGTH subsystems count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "Test ${name} needs exactly one subsystem label of: ${KORVANEL_TEST_SUBSYSTEMS} "
                        "(it has '${labels}'; see cmake/KorvanelTestLabels.cmake)")
  endif()
endfunction()
