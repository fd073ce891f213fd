# Native build: the portable core's unit tests.
if(BUILD_TESTING)
  find_package(GTest REQUIRED)
  add_executable(velopass_unit_tests ${VELOPASS_UNIT_TESTS} tests/unit/ShippedTextFileTest.cpp)
  target_compile_definitions(velopass_unit_tests PRIVATE
    VELOPASS_TEXT_SOURCE="${CMAKE_SOURCE_DIR}/resources/Velopass.utf8.ini")
  target_link_libraries(velopass_unit_tests PRIVATE velopass_core GTest::gtest_main)
  velopass_warnings(velopass_unit_tests)
  include(GoogleTest)
  gtest_discover_tests(velopass_unit_tests)
endif()
