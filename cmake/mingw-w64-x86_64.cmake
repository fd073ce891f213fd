# Cross-compile for 64-bit Windows with clang and lld (LLVM 19) on Debian's
# mingw-w64 headers and runtime: lld writes what binutils cannot (a load
# configuration with Control Flow Guard tables, the CET flag, the Delay Import
# Directory). The C++ runtime is GCC's of the posix threads model, so
# GoogleTest and std::thread link statically without surprises.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

find_program(CMAKE_C_COMPILER NAMES clang-19 REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++-19 REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${_prefix})
set(CMAKE_CXX_COMPILER_TARGET ${_prefix})
find_program(CMAKE_RC_COMPILER NAMES ${_prefix}-windres REQUIRED)
foreach(_tool AR RANLIB NM OBJDUMP STRIP)
  string(TOLOWER ${_tool} _name)
  find_program(CMAKE_${_tool} NAMES ${_prefix}-${_name} REQUIRED)
endforeach()
find_program(VELOPASS_LLD_LINK NAMES lld-link-19 lld-link HINTS /usr/lib/llvm-19/bin REQUIRED)

# clang picks the newest GCC under lib/gcc/<target>/, and Debian installs two
# of the same version (posix and win32 threads). A root of links in the build
# folder shows it only the posix one and mingw-w64 itself.
set(_root "${CMAKE_BINARY_DIR}/mingw-root")
file(MAKE_DIRECTORY "${_root}/lib/gcc/${_prefix}")
file(CREATE_LINK /usr/lib/gcc/${_prefix}/12-posix "${_root}/lib/gcc/${_prefix}/12" SYMBOLIC)
file(CREATE_LINK /usr/${_prefix} "${_root}/${_prefix}" SYMBOLIC)
set(CMAKE_SYSROOT "${_root}")
foreach(_kind EXE SHARED MODULE)
  set(CMAKE_${_kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -pthread")
endforeach()
