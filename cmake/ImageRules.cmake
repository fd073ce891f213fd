# Windows' rules for every image the project links, in one place (the runtime pieces are in src/image/).
# All code carries stack canaries (the guard is our own, src/image/StackGuard.cpp) and, with clang and lld,
# Control Flow Guard checks on its indirect calls (the load configuration that lists them:
# src/image/LoadConfig.cpp). An image is linked statically, says it is CET shadow-stack compatible (and, a program,
# Terminal Server aware), has its PE checksum filled in, as signing tools do, so that removing a signature gives
# back the very bytes that were built, and declares no long-jump table: the static runtime's setjmp return sites
# are in none. After each link cmake/CheckImports.cmake checks its imports and load configuration. The coverage
# build (GCC and GNU ld, which fills in the checksum by itself) counts what the program does rather than makes
# the release, and goes without the guard, the load configuration, the CET mark and the check. mingw-w64 10 has
# no _FORTIFY_SOURCE.
if(VELOPASS_LLD_LINK)
  set(VELOPASS_GUARD -mguard=cf)
endif()

# Code that runs in an image: the canaries and the guard's checks, and the runtime pieces they rely on.
function(velopass_guarded_code target)
  target_compile_options(${target} PRIVATE -fstack-protector-strong ${VELOPASS_GUARD})
  if(NOT target STREQUAL "velopass_image_runtime")
    target_link_libraries(${target} PUBLIC velopass_image_runtime)
  endif()
endfunction()

add_library(velopass_image_runtime STATIC src/image/StackGuard.cpp)
if(VELOPASS_LLD_LINK)
  target_sources(velopass_image_runtime PRIVATE src/image/LoadConfig.cpp)
endif()
target_include_directories(velopass_image_runtime PRIVATE src)
velopass_guarded_code(velopass_image_runtime)

# An image the project ships (the program, the custom action): its own code guarded, linked statically with the
# image's flags, and checked after each link.
function(velopass_image target)
  velopass_guarded_code(${target})
  target_link_options(${target} PRIVATE -static)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -Wl,--tsaware)
  endif()
  if(VELOPASS_LLD_LINK)
    target_link_options(${target} PRIVATE
                        -mguard=cf -Wl,--no-guard-longjmp -Wl,-Xlink=/cetcompat -Wl,-Xlink=/release)
    if(CMAKE_OBJDUMP)
      add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
                -P "${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake")
    endif()
  endif()
endfunction()
