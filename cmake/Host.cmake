# Native build: the portable core's unit tests.
if(BUILD_TESTING)
  find_package(GTest REQUIRED)
  add_executable(velopass_unit_tests ${VELOPASS_UNIT_TESTS})
  target_link_libraries(velopass_unit_tests PRIVATE velopass_core GTest::gtest_main)
  velopass_warnings(velopass_unit_tests)
  include(GoogleTest)
  gtest_discover_tests(velopass_unit_tests)
endif()
