# The OEM's settings, one row each: the program and the custom action take them as a generated header, the packaging
# as the file itself.
set(VELOPASS_OEM_SETTINGS "${CMAKE_SOURCE_DIR}/resources/oem_settings.tsv")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${VELOPASS_OEM_SETTINGS}")
file(STRINGS "${VELOPASS_OEM_SETTINGS}" _rows REGEX "^[^#]")
list(POP_FRONT _rows)  # the column names
set(VELOPASS_OEM_SETTING_ROWS "")
set(_names "")
foreach(_row IN LISTS _rows)
  if(NOT _row MATCHES "^([^\t]+)\t([A-Za-z]+)\t([A-Z]+)\t([A-Za-z]+)\t(yes|no)$")
    message(FATAL_ERROR "${VELOPASS_OEM_SETTINGS}: not a setting: ${_row}")
  endif()
  set(_list false)
  if(CMAKE_MATCH_5 STREQUAL "yes")
    set(_list true)
  endif()
  string(APPEND VELOPASS_OEM_SETTING_ROWS "inline constexpr Setting ${CMAKE_MATCH_2}{L\"${CMAKE_MATCH_1}\", "
         "L\"${CMAKE_MATCH_2}\", L\"${CMAKE_MATCH_3}\", L\"REMEMBERED${CMAKE_MATCH_3}\", ${_list}};\n")
  if(_list)  # one only: a second would define it twice
    string(APPEND VELOPASS_OEM_SETTING_ROWS "inline constexpr const Setting& kLanguageList = ${CMAKE_MATCH_2};\n")
  endif()
  list(APPEND _names ${CMAKE_MATCH_2})
endforeach()
list(JOIN _names ", " _names)
string(APPEND VELOPASS_OEM_SETTING_ROWS "inline constexpr Setting kSettings[] = {${_names}};\n")
configure_file(src/text/OemSettings.h.in "${CMAKE_BINARY_DIR}/generated/text/OemSettings.h" @ONLY)
