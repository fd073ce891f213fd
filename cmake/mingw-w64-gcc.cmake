# Cross-compile for 64-bit Windows with mingw-w64's GCC and GNU binutils, each object counting the lines it runs: the
# coverage build (preset `coverage`). The release image's rules need clang and lld (mingw-w64-x86_64.cmake); without
# lld, cmake/Windows.cmake leaves them out.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

find_program(CMAKE_C_COMPILER NAMES ${_prefix}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_prefix}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_prefix}-windres REQUIRED)
find_program(VELOPASS_DLLTOOL NAMES ${_prefix}-dlltool REQUIRED)
# No symbol table, as in the release: a signed package's program, its signature removed, is the very program built. The
# program throws nothing (the MSI's custom action keeps its exceptions): no unwinding branch that no test could take.
set(CMAKE_CXX_FLAGS_INIT "--coverage -fno-exceptions")
foreach(_kind EXE SHARED MODULE)
  set(CMAKE_${_kind}_LINKER_FLAGS_INIT "--coverage -s")
endforeach()
