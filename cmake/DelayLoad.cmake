# Links a program to system DLLs that it loads only when it first calls them,
# after it has restricted the DLL search (win::RestrictDllSearch), so that no
# DLL lying beside the program is looked for while the process starts.
# mingw-w64 makes each delay-import library from the export list of the
# toolchain's own import library; MSVC names the DLLs to its linker.
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
    string(JOIN "\n" exports ${functions})
    set(folder "${CMAKE_BINARY_DIR}/delayload")
    file(WRITE "${folder}/${name}.def" "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND "${CMAKE_DLLTOOL}" --input-def ${name}.def --dllname ${name}.dll
                            --output-delaylib lib${name}.a --temp-prefix ${name}
                    WORKING_DIRECTORY "${folder}" COMMAND_ERROR_IS_FATAL ANY)
    target_link_libraries(${target} PRIVATE "${folder}/lib${name}.a")
  endforeach()
  if(MSVC)
    target_link_libraries(${target} PRIVATE delayimp)
  endif()
endfunction()
