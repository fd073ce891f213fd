# Links a program to system DLLs that it loads only when it first calls them,
# after it has restricted the DLL search (win::RestrictDllSearch), so that no
# DLL lying beside the program is looked for while the process starts.
# lld delay-loads only from import libraries of the short (Microsoft) form, so
# each is remade with lld-link from the export list of mingw-w64's own; lld then
# lists the DLLs in the Delay Import Directory. GNU ld (the coverage build)
# takes a delay-import library that dlltool makes from the same list. MSVC
# names the DLLs to its linker.
function(velopass_delay_load target)
  foreach(name IN LISTS ARGN)
    if(MSVC)
      target_link_libraries(${target} PRIVATE ${name})
      target_link_options(${target} PRIVATE /DELAYLOAD:${name}.dll)
      continue()
    endif()
    find_library(VELOPASS_IMPORT_${name} ${name} REQUIRED)
    execute_process(COMMAND "${CMAKE_NM}" -g --defined-only "${VELOPASS_IMPORT_${name}}"
                    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " T [A-Za-z0-9_]+" functions "${symbols}")
    list(TRANSFORM functions REPLACE "^ T " "")
    list(REMOVE_DUPLICATES functions)
    if(name STREQUAL "gdi32")
      # GDI32 exports Uniscribe's functions too from Windows 8 on, not on Windows 7: they come from Usp10.
      list(FILTER functions EXCLUDE REGEX "^Script")
    endif()
    list(SORT functions)
    string(JOIN "\n" exports ${functions})
    set(folder "${CMAKE_BINARY_DIR}/delayload")
    file(WRITE "${folder}/${name}.def" "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
    if(VELOPASS_LLD_LINK)
      execute_process(COMMAND "${VELOPASS_LLD_LINK}" /lib /machine:x64 /def:${name}.def /out:lib${name}.a
                      WORKING_DIRECTORY "${folder}" COMMAND_ERROR_IS_FATAL ANY)
      target_link_options(${target} PRIVATE -Wl,--delayload=${name}.dll)
    else()
      execute_process(COMMAND "${VELOPASS_DLLTOOL}" --def ${name}.def --output-delaylib lib${name}.a
                      WORKING_DIRECTORY "${folder}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
    target_link_libraries(${target} PRIVATE "${folder}/lib${name}.a")
  endforeach()
  if(MSVC)
    target_link_libraries(${target} PRIVATE delayimp)
  endif()
endfunction()
