# Makes one Windows Installer package of Duplora (cmake -P, run by duplora_add_msi in
# Packaging.cmake):
#   WIXL, MSIBUILD  the tools (Debian packages wixl and msitools)
#   SOURCE          packaging/Duplora.wxs
#   FILES           the folder holding Duplora.exe (stripped), LEIA-ME.txt and Duplora.ini
#   VERSION         the product's version, x.y.z;  BITS  32 or 64;  UPGRADE_CODE
#   OUTPUT          the package to make (written whole: made beside it, then renamed)
#
# wixl 0.101 ignores a component's NeverOverwrite and Permanent, MajorUpgrade's
# AllowSameVersionUpgrades, Package/@Platform and the registry type "expandable", and has no
# permissions element: those are set in the tables here, with msibuild, after wixl has made them.
foreach(variable WIXL MSIBUILD SOURCE FILES VERSION BITS UPGRADE_CODE OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "make-msi.cmake: ${variable} is not set")
  endif()
endforeach()

if(BITS EQUAL 64)
  set(arch x64)
  set(win64 yes)
  set(platform x64)
  set(componentBits 256)  # msidbComponentAttributes64bit
else()
  set(arch x86)
  set(win64 no)
  set(platform Intel)
  set(componentBits 0)
endif()

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${FILES} RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  # wixl names what it does not know on stderr and still succeeds: any such line is a fault here.
  if(NOT result EQUAL 0 OR output MATCHES "WARNING|CRITICAL|unimplemented|failed")
    message(FATAL_ERROR "${ARGV0} failed (${result}):\n${output}")
  endif()
endfunction()

set(made ${OUTPUT}.new)
file(REMOVE ${made})
run(${WIXL} -a ${arch} -D Version=${VERSION} -D Bits=${BITS} -D Win64=${win64}
    -D UpgradeCode=${UPGRADE_CODE} -o ${made} ${SOURCE})

# The folder's and the program's permissions, as security descriptors (Windows Installer 5):
# - the folder (its CreateFolder row): SYSTEM and Administrators full control, inherited; Users
#   may add files and folders but not delete or rename the folder itself (0x1201bf: Modify
#   without DELETE), and have Modify on everything made inside it (Duplora.ini, Duplora.log and
#   its rotated copy); protected, so nothing is inherited from the drive's root;
# - Duplora.exe: protected, Users read and run it only, so that no user can replace the program
#   that every user's session starts.
get_filename_component(tables ${OUTPUT} DIRECTORY)
set(idt ${tables}/MsiLockPermissionsEx.idt)
file(WRITE ${idt}
  "MsiLockPermissionsEx\tLockObject\tTable\tSDDLText\tCondition\n"
  "s72\ts72\ts32\ts0\tS255\n"
  "MsiLockPermissionsEx\tMsiLockPermissionsEx\n"
  "Pasta\tINSTALLDIR\tCreateFolder\t"
  "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1201bf;;;BU)(A;OICIIO;0x1301bf;;;BU)\t\n"
  "Programa\tDuplora.exe\tFile\tD:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)\t\n")

# Ajustes, the example Duplora.ini: Permanent (16) and NeverOverwrite (128).
math(EXPR settingsAttributes "${componentBits} + 16 + 128")
# The Upgrade row that finds older products, made to find the same version too (VersionMax
# inclusive, 512): the other word size's package of the same version replaces the installed one
# instead of going beside it into the same folder. A key column cannot be updated: the row is
# made again.
run(${MSIBUILD} ${made} -i ${idt}
    -q "UPDATE Component SET Attributes = ${settingsAttributes} WHERE Component = 'Ajustes'"
    -q "UPDATE Registry SET Value = '#%[#Duplora.exe]' WHERE Name = 'EventMessageFile'"
    -q "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'"
    -q "INSERT INTO Upgrade (UpgradeCode, VersionMin, VersionMax, Language, Attributes, ActionProperty) VALUES ('${UPGRADE_CODE}', '', '${VERSION}', '', 513, 'WIX_UPGRADE_DETECTED')"
    # The Template is "<platform>;<language>": the escaped ";" keeps it one argument.
    -s "Duplora ${VERSION}, programa de ${BITS} bits" Duplora "${platform}\;1046")
file(REMOVE ${idt})
file(RENAME ${made} ${OUTPUT})
