# The program, and what tests it under Wine.
enable_language(RC)

# Windows-side pieces shared by the program and its Win32 tests.
add_library(velopass_win STATIC
  src/app/GuestCheck.cpp
  src/app/Startup.cpp
  src/machine/DataFile.cpp
  src/machine/Registry.cpp
  src/machine/Wmi.cpp
  src/text/CardTexts.cpp
  src/text/LanguageMenu.cpp
  src/text/TextFile.cpp
  src/text/UserLocale.cpp
  src/win/Dialog.cpp
  src/win/GdiPlus.cpp
  src/win/OleAcc.cpp
  src/win/SystemLibrary.cpp
  src/win/WinApp.cpp
  src/win/Window.cpp
)
# The system DLLs beyond kernel32 and the C runtime; each program links them its own way.
set(VELOPASS_SYSTEM_LIBRARIES advapi32 comctl32 comdlg32 gdi32 ole32 oleaut32 user32 usp10)
target_link_libraries(velopass_win PUBLIC velopass_core wbemuuid uuid)
target_compile_definitions(velopass_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_include_directories(velopass_win PUBLIC "${CMAKE_BINARY_DIR}/generated")
velopass_warnings(velopass_win)

add_executable(Velopass WIN32
  src/app/VLPApp.cpp
  src/card/AccessibleEdit.cpp
  src/card/CardClipboard.cpp
  src/card/PrintJob.cpp
  src/card/VLPDlg.cpp
  src/card/VLPDlgLayout.cpp
  src/card/VLPDlgPaint.cpp
  src/card/VLPDlgPrint.cpp
  src/card/Velopass.rc
  src/present/CardDrawing.cpp
  src/present/CardFonts.cpp
  src/present/CardPrinting.cpp
  src/win/GdiPlusImage.cpp
)
# Only kernel32 and the C runtime are imported: every other system DLL is
# delay-loaded, and GDI+ and Active Accessibility are loaded from System32.
target_link_libraries(Velopass PRIVATE velopass_win)
include(cmake/DelayLoad.cmake)
velopass_delay_load(Velopass ${VELOPASS_SYSTEM_LIBRARIES})
# The version, kept once in project(), reaches the resources through a generated header.
set(VELOPASS_VERSION_FULL "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
configure_file(src/card/version.h.in "${CMAKE_BINARY_DIR}/generated/version.h" @ONLY)
configure_file(resources/Velopass.manifest "${CMAKE_BINARY_DIR}/generated/Velopass.manifest" @ONLY)
include(cmake/OemSettings.cmake)
# What drives the program from outside (the scenarios, the benchmarks, the README's pictures) takes its ids, window
# classes and paths from the headers that define them, as a Python module beside the program.
set(_fact_headers src/card/resource.h src/win/Dialog.h src/machine/Brand.h src/machine/DataFile.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_fact_headers})
set(_facts "# Written by the build from the program's headers: edit those.\n")
foreach(_header IN LISTS _fact_headers)
  file(STRINGS ${_header} _lines REGEX "^(#define [A-Z_]+ [0-9\"]|inline constexpr wchar_t k[A-Za-z]+\\[\\] = L\")")
  foreach(_line IN LISTS _lines)
    if(_line MATCHES "^#define ([A-Z_]+) (.+)$|^inline constexpr wchar_t (k[A-Za-z]+)\\[\\] = L(\"[^\"]*\");")
      string(APPEND _facts "${CMAKE_MATCH_1}${CMAKE_MATCH_3} = ${CMAKE_MATCH_2}${CMAKE_MATCH_4}\n")
    endif()
  endforeach()
endforeach()
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/velopass_program.py" CONTENT "${_facts}" @ONLY)
set_property(SOURCE src/card/Velopass.rc APPEND PROPERTY INCLUDE_DIRECTORIES
  "${CMAKE_SOURCE_DIR}/resources/PIC" "${CMAKE_BINARY_DIR}/generated")
set_property(SOURCE src/card/Velopass.rc APPEND PROPERTY OBJECT_DEPENDS
  "${CMAKE_BINARY_DIR}/generated/version.h" "${CMAKE_BINARY_DIR}/generated/Velopass.manifest"
  "${CMAKE_SOURCE_DIR}/resources/PIC/velopass.ico")
velopass_warnings(Velopass)

if(MSVC)
  # The manifest is the program's own resource.
  target_link_options(Velopass PRIVATE /MANIFEST:NO)
endif()
if(MINGW)
  target_link_options(Velopass PRIVATE -municode)
  target_compile_options(velopass_win PUBLIC -municode)
  include(cmake/ImageRules.cmake)
  foreach(_target velopass_core velopass_win)
    velopass_guarded_code(${_target})
  endforeach()
  velopass_image(Velopass)
endif()

# The MSI's custom action, which carries the OEM's settings through upgrades
# and repairs; the packaging takes it from beside the program, the zip leaves it out.
add_library(VelopassSetup MODULE src/setup/CarrySettings.cpp)
set_target_properties(VelopassSetup PROPERTIES PREFIX "")
target_include_directories(VelopassSetup PRIVATE src "${CMAKE_BINARY_DIR}/generated")
target_compile_definitions(VelopassSetup PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
velopass_warnings(VelopassSetup)
if(VELOPASS_COVERAGE)
  target_compile_options(VelopassSetup PRIVATE -fexceptions)  # it catches what Carry throws
endif()
if(MINGW)
  velopass_image(VelopassSetup)  # the same rules as the program's: it runs in Windows Installer's process
endif()

# The program's folder as installed: the executable, its text file and its pictures.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/Velopass.ini"
  COMMAND ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/resources/make_text_file.py"
          "${CMAKE_SOURCE_DIR}/resources/Velopass.utf8.ini" "${CMAKE_BINARY_DIR}/Velopass.ini"
  DEPENDS "${CMAKE_SOURCE_DIR}/resources/Velopass.utf8.ini" "${CMAKE_SOURCE_DIR}/resources/make_text_file.py"
  COMMENT "Velopass.ini in UTF-16LE")
add_custom_target(text_file ALL DEPENDS "${CMAKE_BINARY_DIR}/Velopass.ini")
add_custom_command(TARGET Velopass POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${CMAKE_SOURCE_DIR}/resources/PIC" "$<TARGET_FILE_DIR:Velopass>/PIC")

# The zip and the MSI of the program folder (needs wixl from msitools).
add_custom_target(packages
  COMMAND ${CMAKE_COMMAND} -E env "VELOPASS_OEM_SETTINGS=${VELOPASS_OEM_SETTINGS}"
          ${Python3_EXECUTABLE} "${CMAKE_SOURCE_DIR}/packaging/make_packages.py"
          "$<TARGET_FILE_DIR:Velopass>" "${PROJECT_VERSION}" "${CMAKE_BINARY_DIR}/packages"
  DEPENDS Velopass VelopassSetup text_file
  COMMENT "Packaging Velopass ${PROJECT_VERSION}")

include(cmake/Bench.cmake)
if(BUILD_TESTING)
  include(cmake/WineTests.cmake)
endif()
