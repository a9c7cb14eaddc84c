# Every test of a tree is linked into one program, vemo_tests (tests/CMakeLists.txt makes it):
# one link of the static Windows libraries instead of one per test program.
#
# vemo_add_test(NAME src... LIBS lib... [TIMEOUT seconds] [COST seconds]) adds the sources and
# libraries to it and one CTest entry, native.NAME or win.NAME, that runs the tests of those
# sources in a process of their own (tests/support/test_main.cpp). In the Windows tree CTest
# runs it under Wine through the toolchain's emulator. An entry without TIMEOUT gets two
# minutes. COST, about the seconds an entry takes, lets CTest start the long ones first even
# before it has timed a run.
function(vemo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT;COST" "LIBS" ${ARGN})
  target_sources(vemo_tests PRIVATE ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(vemo_tests PRIVATE ${T_LIBS})
  set(sources)
  foreach(source ${T_UNPARSED_ARGUMENTS})
    get_filename_component(path ${source} ABSOLUTE)
    file(RELATIVE_PATH path ${CMAKE_SOURCE_DIR}/tests ${path})
    list(APPEND sources ${path})
  endforeach()
  list(JOIN sources "," sources)
  if(VEMO_WINDOWS)
    set(test_name win.${name})
  else()
    set(test_name native.${name})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${test_name} COMMAND vemo_tests --sources=${sources})
  set_tests_properties(${test_name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_COST)
    set_tests_properties(${test_name} PROPERTIES COST ${T_COST})
  endif()
endfunction()

# A fresh Wine prefix of its own, made by scripts/wine-prefix PATH OPTIONS... before the tests
# that require the fixture NAME and ended after them. A prefix of its own is a Wine session of
# its own: it is made, and its tests run (ENVIRONMENT ${VEMO_OWN_DISPLAY}), on a display of its
# own, where its windows take no keyboard focus from the tests of the shared session.
set(VEMO_OWN_DISPLAY "DISPLAY=")
function(vemo_prefix_fixture name path)
  add_test(NAME win.${name}_prefix
    COMMAND sh -c "rm -rf \"$0\" \"$0.lock\" && desktop=$1 make=$2 && shift 2 && exec \"$desktop\" \"$make\" \"$0\" \"$@\""
            ${path} ${CMAKE_SOURCE_DIR}/scripts/desktop ${CMAKE_SOURCE_DIR}/scripts/wine-prefix
            ${ARGN})
  add_test(NAME win.${name}_prefix_end COMMAND sh -c "WINEPREFIX=\"$0\" wineserver -k; true" ${path})
  set_tests_properties(win.${name}_prefix PROPERTIES FIXTURES_SETUP ${name})
  set_tests_properties(win.${name}_prefix_end PROPERTIES FIXTURES_CLEANUP ${name})
endfunction()
