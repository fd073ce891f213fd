# Cross-compile for 64-bit Windows with mingw-w64's GCC and GNU binutils, each
# object counting the lines it runs: the coverage build (preset `coverage`). The
# release image's rules need clang and lld (mingw-w64-x86_64.cmake); without
# lld, cmake/Windows.cmake leaves them out.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_prefix x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${_prefix}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_prefix}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_prefix}-windres REQUIRED)
find_program(VELOPASS_DLLTOOL NAMES ${_prefix}-dlltool REQUIRED)
# Every object counts its lines. No symbol table, as in the release: a signed
# package's program, its signature removed, is the very program built.
set(CMAKE_CXX_FLAGS_INIT --coverage)
foreach(_kind EXE SHARED MODULE)
  set(CMAKE_${_kind}_LINKER_FLAGS_INIT "--coverage -s")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(WINE_EXECUTABLE NAMES wine)
if(WINE_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()
