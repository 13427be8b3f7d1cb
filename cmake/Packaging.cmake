# The Windows program's packages, made in the release builds (presets win32-release and
# win64-release) beside each other:
#   Duplora-<version>-win32.msi / -win64.msi  the Windows Installer packages (duplora_add_msi
#       below, target duplora_msi, part of the default build, and so of the target "package")
#   Duplora-<version>-win32.zip / -win64.zip  the same three files in a zip (cpack, the target
#       "package"), to be copied into C:\Duplora by hand
# Both hold the same Duplora.exe, stripped: the release program otherwise carries the static
# run-times' debug sections (the unstripped one stays in src/win32/ of the build, whose addresses
# are the same, for addr2line), an example Duplora.ini and the operator's guide LEIA-ME.txt.
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
set(DUPLORA_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package)
configure_file(${packaging}/Duplora.ini ${DUPLORA_PACKAGE_FILES}/Duplora.ini @ONLY
               NEWLINE_STYLE CRLF)
configure_file(${packaging}/LEIA-ME.txt.in ${DUPLORA_PACKAGE_FILES}/LEIA-ME.txt @ONLY
               NEWLINE_STYLE CRLF)

# Stripped with the MinGW-w64 strip of the program's word size (the toolchain's).
if(NOT CMAKE_STRIP)
  message(FATAL_ERROR "No strip of the MinGW-w64 toolchain was found (CMAKE_STRIP)")
endif()
add_custom_command(OUTPUT ${DUPLORA_PACKAGE_FILES}/Duplora.exe
  COMMAND ${CMAKE_STRIP} --strip-all -o ${DUPLORA_PACKAGE_FILES}/Duplora.exe $<TARGET_FILE:Duplora>
  DEPENDS Duplora
  COMMENT "Duplora.exe without its debug sections and symbols, for the packages")
add_custom_target(duplora_stripped ALL DEPENDS ${DUPLORA_PACKAGE_FILES}/Duplora.exe)

install(PROGRAMS ${DUPLORA_PACKAGE_FILES}/Duplora.exe DESTINATION .)
install(FILES ${DUPLORA_PACKAGE_FILES}/Duplora.ini ${DUPLORA_PACKAGE_FILES}/LEIA-ME.txt
        DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Duplora)
set(CPACK_PACKAGE_FILE_NAME Duplora-${PROJECT_VERSION}-win${DUPLORA_WORD_SIZE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)

# The Windows Installer packages. The UpgradeCode names Duplora for Windows Installer across all
# its versions and both word sizes: never change it, or a new package installs beside the old one
# instead of replacing it. The package's version is the project's, as x.y.z.
set(DUPLORA_MSI_UPGRADE_CODE "{1FB5066F-6682-4A16-9511-555F74542F03}")
set(DUPLORA_MSI_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
if(PROJECT_VERSION_PATCH)
  string(APPEND DUPLORA_MSI_VERSION .${PROJECT_VERSION_PATCH})
else()
  string(APPEND DUPLORA_MSI_VERSION .0)
endif()
find_program(DUPLORA_WIXL wixl)
find_program(DUPLORA_MSIBUILD msibuild)

# duplora_add_msi(TARGET OUTPUT VERSION [FILES]): a target, part of the default build, that makes
# the package OUTPUT of this build's stripped Duplora.exe and texts (or those in the folder FILES),
# with the given version.
function(duplora_add_msi target output version)
  set(files ${DUPLORA_PACKAGE_FILES})
  if(ARGC GREATER 3)
    set(files ${ARGV3})
  endif()
  if(NOT DUPLORA_WIXL OR NOT DUPLORA_MSIBUILD)
    message(FATAL_ERROR "wixl and msibuild make the Windows Installer packages: install the "
                        "Debian packages wixl and msitools (scripts/install-deps.sh test)")
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DWIXL=${DUPLORA_WIXL} -DMSIBUILD=${DUPLORA_MSIBUILD}
            -DSOURCE=${PROJECT_SOURCE_DIR}/packaging/Duplora.wxs -DFILES=${files}
            -DVERSION=${version} -DBITS=${DUPLORA_WORD_SIZE}
            -DUPGRADE_CODE=${DUPLORA_MSI_UPGRADE_CODE} -DOUTPUT=${output}
            -P ${PROJECT_SOURCE_DIR}/cmake/make-msi.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/Duplora.wxs ${PROJECT_SOURCE_DIR}/cmake/make-msi.cmake
            ${files}/Duplora.exe ${files}/Duplora.ini ${files}/LEIA-ME.txt
    COMMENT "Windows Installer package ${output}")
  add_custom_target(${target} ALL DEPENDS ${output})
  add_dependencies(${target} duplora_stripped)  # the stripped program, made in another folder
endfunction()

# The package that is handed out; a build with the tests also makes the older one its upgrade test
# needs (tests/wine-e2e/).
duplora_add_msi(duplora_msi ${CMAKE_BINARY_DIR}/Duplora-${PROJECT_VERSION}-win${DUPLORA_WORD_SIZE}.msi
                ${DUPLORA_MSI_VERSION})
