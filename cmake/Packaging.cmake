# The Windows program's zip, made by cpack (or the target "package") in the release builds:
# Duplora-<version>-win32.zip or -win64.zip, holding Duplora.exe, an example Duplora.ini and the
# operator's guide LEIA-ME.txt, all three at the top of the zip, to be copied into C:\Duplora.
# The texts are written as Windows Notepad shows them: CR LF line ends; the guide, which has
# accented letters, in UTF-8 with its byte order mark, which Notepad reads right on every Windows
# version whatever the machine's ANSI code page (Windows-1252 would show right only where that
# is the code page, and UTF-8 without the mark only on Windows 10 and later).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(DUPLORA_WORD_SIZE 64)
  set(DUPLORA_OTHER_WORD_SIZE 32)
else()
  set(DUPLORA_WORD_SIZE 32)
  set(DUPLORA_OTHER_WORD_SIZE 64)
endif()
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
configure_file(${packaging}/Duplora.ini ${CMAKE_BINARY_DIR}/package/Duplora.ini @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${packaging}/LEIA-ME.txt.in ${CMAKE_BINARY_DIR}/package/LEIA-ME.txt @ONLY
               NEWLINE_STYLE CRLF)

install(TARGETS Duplora RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/package/Duplora.ini ${CMAKE_BINARY_DIR}/package/LEIA-ME.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Duplora)
set(CPACK_PACKAGE_FILE_NAME Duplora-${PROJECT_VERSION}-win${DUPLORA_WORD_SIZE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
