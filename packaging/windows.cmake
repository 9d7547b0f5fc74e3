# The Windows installer and the zip of the installed folder, made by CPack from the install step
# (which runs windeployqt: src/app/CMakeLists.txt):
#
#   cmake --build --preset windows-mingw --target package   # or, in the build folder:
#   cpack -G NSIS                                           # MRW-<version>-win64.exe
#   cpack -G ZIP                                            # MRW-<version>-win64.zip
#
# Installed, the programs and the Qt libraries lie in bin, the data files and the guide in
# share/mrw, where the programs look beside them (src/core/folders.h); the README and the
# copyright notice at the top of the folder.

# The copyright notice of the Debian package, with the data file's path as Windows has it.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/copyright MRW_COPYRIGHT)
string(REPLACE "/usr/share/mrw/mid.csv" "share\\mrw\\mid.csv" MRW_COPYRIGHT "${MRW_COPYRIGHT}")
set(MRW_COPYRIGHT_FILE ${CMAKE_CURRENT_BINARY_DIR}/copyright.txt)
file(WRITE ${MRW_COPYRIGHT_FILE} "${MRW_COPYRIGHT}")
install(FILES ${MRW_COPYRIGHT_FILE} ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MRW_WINDOWS_ARCH win64)
else()
    set(MRW_WINDOWS_ARCH win32)
endif()

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME MRW)
set(CPACK_PACKAGE_VENDOR "MRW developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read, edit and program marine VHF radios")
set(CPACK_PACKAGE_FILE_NAME MRW-${PROJECT_VERSION}-${MRW_WINDOWS_ARCH})
set(CPACK_PACKAGE_INSTALL_DIRECTORY MRW)
set(CPACK_RESOURCE_FILE_LICENSE ${MRW_COPYRIGHT_FILE})
# A start-menu shortcut to bin\mrw.exe (and, when chosen, one on the desktop).
set(CPACK_PACKAGE_EXECUTABLES mrw "MRW (Marine Radio Workbench)")
set(CPACK_CREATE_DESKTOP_LINKS mrw)

set(CPACK_NSIS_DISPLAY_NAME "MRW (Marine Radio Workbench)")
set(CPACK_NSIS_PACKAGE_NAME "MRW (Marine Radio Workbench) ${PROJECT_VERSION}")
set(CPACK_NSIS_CONTACT "mrw@marineradioworkbench.net")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The installer offers to put bin on PATH, for mrw-cli in a command prompt.
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The icon of the installer, the uninstaller and the entry under Installed apps.
get_property(MRW_ICON_FILE GLOBAL PROPERTY MRW_ICON_FILE)
if(MRW_ICON_FILE)
    set(CPACK_NSIS_MUI_ICON ${MRW_ICON_FILE})
    set(CPACK_NSIS_MUI_UNIICON ${MRW_ICON_FILE})
    set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\mrw.exe")
endif()
include(CPack)
