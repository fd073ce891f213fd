# Fails the build when the program (or the MSI's custom action) imports any DLL but kernel32 and the C
# runtime at load time (every other system DLL is delay-loaded, after the DLL
# search is restricted), or when its image lacks one of Windows' security
# rules: ASLR with high entropy, DEP, Terminal Server awareness, Control Flow
# Guard with a load configuration that carries the guard table and the
# loader's System32 rule, the security cookie that the loader seeds, guard
# flags that claim nothing the image lacks, and CET shadow-stack compatibility.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
set(allowed kernel32.dll msvcrt.dll)
set(flags HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT GUARD_CF)
if(PROGRAM MATCHES "\\.exe$")
  list(APPEND flags TERMINAL_SERVICE_AWARE)  # a program's flag; DLLs have none of it
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Cannot read the headers of ${PROGRAM}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${import}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST allowed)
    message(FATAL_ERROR "${PROGRAM} imports ${name}, which would load before the DLL search is restricted: "
                        "delay-load it (cmake/DelayLoad.cmake) or load it with win::SystemLibrary")
  endif()
endforeach()
string(REGEX MATCH "DllCharacteristics[^\n]*\n(\t\t+[A-Z_]+\n)*" characteristics "${dump}")
foreach(flag IN LISTS flags)
  if(NOT characteristics MATCHES "\t${flag}\n")
    message(FATAL_ERROR "${PROGRAM} lacks the image flag ${flag}")
  endif()
endforeach()

# The little-endian number of `size` bytes at relative address `rva` of the image, in hex.
string(REGEX MATCH "ImageBase[\t ]+([0-9a-f]+)" _ "${dump}")
set(image_base "0x${CMAKE_MATCH_1}")
function(read_number rva size out)
  math(EXPR start "${image_base} + ${rva}" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR stop "${start} + ${size}" OUTPUT_FORMAT HEXADECIMAL)
  execute_process(COMMAND "${OBJDUMP}" -s --start-address=${start} --stop-address=${stop} "${PROGRAM}"
                  OUTPUT_VARIABLE bytes)
  string(REGEX MATCHALL "\n [0-9a-f]+ (([0-9a-f]+ ?)+)" lines "${bytes}")
  set(hex "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^\n [0-9a-f]+ " "" line "${line}")
    string(REGEX REPLACE "  .*|[ ]" "" line "${line}")
    string(APPEND hex "${line}")
  endforeach()
  string(REGEX MATCHALL ".." pairs "${hex}")
  list(REVERSE pairs)
  string(JOIN "" number ${pairs})
  set(${out} "0x0${number}" PARENT_SCOPE)
endfunction()

# The load configuration's fields and the default cookie, where src/image/ImageRules.h (which the image's own
# load configuration is checked against as it compiles) says they are.
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../src/image/ImageRules.h" rules REGEX "^inline constexpr")
if(NOT dump MATCHES "Entry a ([0-9a-f]+) ([0-9a-f]+) Load Configuration Directory")
  message(FATAL_ERROR "${PROGRAM} has no load configuration")
endif()
set(config "0x${CMAKE_MATCH_1}")
math(EXPR config_size "0x${CMAKE_MATCH_2}")
foreach(rule IN LISTS rules)
  if(rule MATCHES "kDefaultCookie = (0x[0-9A-Fa-f]+)u")
    set(default_cookie "${CMAKE_MATCH_1}")
  elseif(rule MATCHES "LoadConfigField k([A-Za-z]+){(0x[0-9A-Fa-f]+), ([0-9]+)}")
    set(name "${CMAKE_MATCH_1}")
    set(size "${CMAKE_MATCH_3}")
    math(EXPR end "${CMAKE_MATCH_2} + ${size}")
    if(config_size LESS end)
      message(FATAL_ERROR "${PROGRAM}'s load configuration ends before its ${name}")
    endif()
    math(EXPR rva "${config} + ${CMAKE_MATCH_2}")
    read_number(${rva} ${size} ${name})
  endif()
endforeach()
if(NOT DEFINED default_cookie OR NOT DEFINED GuardLongJumpCount)
  message(FATAL_ERROR "src/image/ImageRules.h names no load configuration fields or default cookie")
endif()
if(NOT DependentLoadFlags EQUAL 0x800)
  message(FATAL_ERROR "${PROGRAM}'s load configuration lacks DependentLoadFlags LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800)")
endif()
if(GuardFunctionTable EQUAL 0 OR GuardFunctionCount EQUAL 0)
  message(FATAL_ERROR "${PROGRAM}'s load configuration has no Control Flow Guard function table")
endif()
# The cookie the stack checks compare with: the loader seeds it only where it still holds MSVC's 64-bit default.
set(cookie_value 0)
if(SecurityCookie GREATER image_base)
  math(EXPR cookie_rva "${SecurityCookie} - ${image_base}" OUTPUT_FORMAT HEXADECIMAL)
  read_number(${cookie_rva} 8 cookie_value)
endif()
if(NOT cookie_value EQUAL default_cookie)
  message(FATAL_ERROR "${PROGRAM}'s load configuration names no security cookie the loader seeds")
endif()
# Instrumented with a function table (0x100, 0x400); no long-jump table (0x10000), which would have to hold every
# setjmp return site of the static runtime too; no read-only delay-load IAT (0x1000, 0x2000), which lld 19
# cannot give (it keeps that table in .data) and the runtime's delay-load helper would write to.
math(EXPR claims "${GuardFlags} & 0x13500")
if(NOT claims EQUAL 0x500 OR NOT GuardLongJumpTable EQUAL 0 OR NOT GuardLongJumpCount EQUAL 0)
  message(FATAL_ERROR "${PROGRAM}'s guard flags (${GuardFlags}) or long-jump table claim what it lacks")
endif()

# CET compatibility: a debug directory entry of type 20 (extended DLL characteristics) with bit 0 set.
if(NOT dump MATCHES "\n 20 +[A-Za-z]* +([0-9a-f]+) ([0-9a-f]+)")
  message(FATAL_ERROR "${PROGRAM} is not marked CET shadow-stack compatible")
endif()
read_number(0x${CMAKE_MATCH_2} 4 extended)
math(EXPR cet "${extended} & 1")
if(NOT cet)
  message(FATAL_ERROR "${PROGRAM} is not marked CET shadow-stack compatible")
endif()
