# Tests of the Windows build under Wine: the unit suites on the real platform, then the program driven from outside.
set(VELOPASS_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources to build for Windows")
if(NOT EXISTS "${VELOPASS_GTEST_SOURCE}/CMakeLists.txt")
  # Under CI a suite that cannot be built fails the run rather than vanish.
  if("$ENV{CI}" STREQUAL "true")
    message(FATAL_ERROR "No GoogleTest sources at ${VELOPASS_GTEST_SOURCE}: the Windows-side tests cannot be built")
  endif()
  message(WARNING "No GoogleTest sources at ${VELOPASS_GTEST_SOURCE}: Windows-side tests are not built")
  return()
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${VELOPASS_GTEST_SOURCE}" googletest EXCLUDE_FROM_ALL SYSTEM)

add_executable(velopass_win_tests ${VELOPASS_UNIT_TESTS} tests/win/DataFileTest.cpp tests/win/GuestCheckTest.cpp)
target_link_libraries(velopass_win_tests PRIVATE velopass_win gtest_main ${VELOPASS_SYSTEM_LIBRARIES})

# The scenarios' probe, and a DLL that stands in for a system DLL that a download folder might hold beside the program.
add_executable(vpprobe tests/e2e/vpprobe.cpp)
target_link_libraries(vpprobe PRIVATE uuid oleacc ole32 oleaut32 user32 version kernel32 ntdll)
target_compile_definitions(vpprobe PRIVATE UNICODE _UNICODE NOMINMAX)
target_include_directories(vpprobe PRIVATE src)  # the card's class and ids, as the program has them
add_library(vpplanted SHARED tests/e2e/vpplanted.cpp)
add_library(vphook SHARED tests/e2e/vphook.cpp)  # what the probe puts into the card's thread
target_include_directories(vphook PRIVATE src)  # the data file's path
set_target_properties(vpplanted vphook PROPERTIES PREFIX "")

# Scenarios end many a card with its Wine prefix: the coverage build's card writes its counts as it goes.
if(VELOPASS_COVERAGE)
  target_sources(Velopass PRIVATE tests/win/FlushCoverage.cpp)
  target_link_options(Velopass PRIVATE -Wl,--wrap=__gcov_exit -Wl,--wrap=__imp_ExitProcess)
endif()

# Linked statically, as the program is: under Wine nothing is looked for beside them.
foreach(_target velopass_win_tests vpprobe vpplanted vphook)
  velopass_warnings(${_target})
  target_link_options(${_target} PRIVATE $<$<BOOL:${MINGW}>:-static>)
endforeach()
target_link_options(vpprobe PRIVATE $<$<BOOL:${MINGW}>:-municode>)  # a wide entry point

set(_e2e_env "VELOPASS_BIN=$<TARGET_FILE_DIR:Velopass>" "VELOPASS_INSPECT=$<TARGET_FILE:vpprobe>"
  "VELOPASS_E2E_DIR=${CMAKE_BINARY_DIR}/e2e" "VELOPASS_OEM_SETTINGS=${VELOPASS_OEM_SETTINGS}")

# Two builds of one commit, each in a folder of its own, compare equal byte for byte. No Wine; first, as the longest.
add_test(NAME release.reproducible COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/scripts/check-reproducible.py")
set_tests_properties(release.reproducible PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)

# The template prefix first; then the Windows-side unit suites in a prefix of their own, and an entry for each test
# class of the scenarios (e2e.MODULE.CLASS): they share nothing, so ctest runs them side by side.
add_test(NAME e2e.prefix COMMAND ${Python3_EXECUTABLE} -m harness --prepare)
add_test(NAME win.unit COMMAND ${Python3_EXECUTABLE} -m harness --wine $<TARGET_FILE:velopass_win_tests>)
file(GLOB _scenarios CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/e2e/test_*.py")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_scenarios})
foreach(_scenario IN LISTS _scenarios)
  string(REGEX REPLACE ".*/test_(.*)\\.py$" "\\1" _name "${_scenario}")
  file(STRINGS "${_scenario}" _classes REGEX "^class [A-Za-z]+\\(")
  foreach(_class IN LISTS _classes)
    string(REGEX REPLACE "^class ([A-Za-z]+).*" "\\1" _class "${_class}")
    add_test(NAME e2e.${_name}.${_class} COMMAND ${Python3_EXECUTABLE} -m harness test_${_name} ${_class})
    list(APPEND _wine_tests e2e.${_name}.${_class})
  endforeach()
endforeach()
set_tests_properties(e2e.prefix win.unit ${_wine_tests} PROPERTIES ENVIRONMENT "${_e2e_env}"
  WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}/tests/e2e" SKIP_RETURN_CODE 77 TIMEOUT 600)  # 77: cannot run, and says why
set_tests_properties(e2e.prefix PROPERTIES FIXTURES_SETUP wine_prefix)
set_tests_properties(win.unit ${_wine_tests} PROPERTIES FIXTURES_REQUIRED wine_prefix)
