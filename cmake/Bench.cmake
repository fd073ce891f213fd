# The start-up benchmark (bench/startup.py): its floor, a minimal dialog, and
# the launcher that times both; linked statically, as the program is.
add_executable(vpminimal WIN32 bench/MinimalDialog.cpp)
target_link_libraries(vpminimal PRIVATE velopass_win ${VELOPASS_SYSTEM_LIBRARIES})
add_executable(vplaunch bench/Launch.cpp)
target_compile_definitions(vplaunch PRIVATE UNICODE _UNICODE)
foreach(_target vpminimal vplaunch)
  velopass_warnings(${_target})
  if(MINGW)
    target_link_options(${_target} PRIVATE -static -municode)
  endif()
endforeach()
# A WMI locator that answers late (bench/SlowWmi.cpp), for the benchmark's and the tests' slow machine.
add_library(vpslowwmi MODULE bench/SlowWmi.cpp bench/SlowWmi.def)
set_target_properties(vpslowwmi PROPERTIES PREFIX "")
velopass_warnings(vpslowwmi)
if(MINGW)
  target_link_options(vpslowwmi PRIVATE -static)
endif()
