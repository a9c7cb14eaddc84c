# VEMO_VERSION ("1.3.11") from release/version.h, the one place the version is set;
# VEMO_PREVIOUS_VERSION, an earlier one for the upgrade test; and VEMO_SOURCE_DATE_EPOCH, the time
# the release files carry: $SOURCE_DATE_EPOCH, else the time of the checked-out commit.
set(version_header ${CMAKE_SOURCE_DIR}/release/version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${version_header})
file(STRINGS ${version_header} version_lines REGEX "^#define VEMO_VERSION_[A-Z]+ [0-9]+$")
foreach(line ${version_lines})
  string(REGEX MATCH "VEMO_VERSION_([A-Z]+) ([0-9]+)" _ "${line}")
  set(version_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()
if(NOT DEFINED version_MAJOR OR NOT DEFINED version_MINOR OR NOT DEFINED version_LEVEL)
  message(FATAL_ERROR "${version_header}: VEMO_VERSION_MAJOR, _MINOR and _LEVEL are needed")
endif()
set(VEMO_VERSION "${version_MAJOR}.${version_MINOR}.${version_LEVEL}")
if(version_LEVEL GREATER 0)
  math(EXPR previous_level "${version_LEVEL} - 1")
  set(VEMO_PREVIOUS_VERSION "${version_MAJOR}.${version_MINOR}.${previous_level}")
else()
  set(VEMO_PREVIOUS_VERSION "0.0.1")
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(VEMO_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE VEMO_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT VEMO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  set(VEMO_SOURCE_DATE_EPOCH 315532800)  # 1980-01-01: no commit to take the time from
endif()
