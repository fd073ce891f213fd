# libFuzzer targets of the portable parsers (clang only): ctest runs each briefly, scripts/fuzz.sh as long as you like.
set(VELOPASS_FUZZ_SECONDS 10 CACHE STRING "How long ctest runs each fuzz target")
# This configuration builds nothing else: the core itself is instrumented, and whatever links it is a fuzz target.
target_compile_options(velopass_core PUBLIC -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
target_link_options(velopass_core INTERFACE -fsanitize=fuzzer,address,undefined)

foreach(_target PathExpansion Language MachineValues GuestMessage DataFile)
  add_executable(fuzz_${_target} tests/fuzz/${_target}Fuzz.cpp)
  target_link_libraries(fuzz_${_target} PRIVATE velopass_core)
  # New inputs go to the build's copy; the repository's corpus is only read.
  set(_work "${CMAKE_BINARY_DIR}/corpus/${_target}")
  file(MAKE_DIRECTORY "${_work}")
  add_test(NAME fuzz.${_target} COMMAND fuzz_${_target} "${_work}" "${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${_target}"
    -max_total_time=${VELOPASS_FUZZ_SECONDS} -timeout=5 -rss_limit_mb=2048 -print_final_stats=1)
endforeach()
