# Fails the build when the program (or the MSI's custom action) imports any DLL but kernel32 and the C
# runtime at load time (every other system DLL is delay-loaded, after the DLL
# search is restricted), or when its image lacks one of Windows' security
# flags: ASLR with high entropy, DEP, Terminal Server awareness.
#   cmake -DOBJDUMP=... -DPROGRAM=... -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
set(allowed kernel32.dll msvcrt.dll)
set(flags HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT)
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
