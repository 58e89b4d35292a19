# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# The program for Windows players: a GUI program (no console window) with its file icon and
# version information, installed as a game folder that carries every DLL it loads, and packed
# as a .zip. The Linux game folder (cmake/Install.cmake) is a different thing and never mixes in.
#
#   <prefix>/brackenholt-config.exe                  the program
#   <prefix>/bh.cfg                                  default settings, never over a player's
#   <prefix>/Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, and the mingw runtime DLLs they need
#   <prefix>/platforms/qwindows.dll                  Qt's Windows platform plug-in
#   <prefix>/licences/                               licence texts and where the sources are
#
# No style plug-in: Qt Widgets' built-in Windows style draws the controls the same on every
# Windows version and under Wine, where the tests run, and suits the game's grey panel.

set_target_properties(brackenholt-config PROPERTIES WIN32_EXECUTABLE ON)
configure_file(${PROJECT_SOURCE_DIR}/resources/brackenholt-config.rc.in
               ${PROJECT_BINARY_DIR}/brackenholt-config.rc @ONLY)
target_sources(brackenholt-config PRIVATE ${PROJECT_BINARY_DIR}/brackenholt-config.rc)

# Installing takes what is built (as on Linux): `make windows` builds first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(BH_HOMEPAGE_URL "https://github.com/brackenholt/brackenholt-config"
    CACHE STRING "Where the program's source is, named in the folder's licence notes")

# The compiler knows where its own runtime DLLs and the import libraries of Windows' DLLs are.
foreach(file libstdc++-6.dll libwinpthread-1.dll libkernel32.a)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${file}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  get_filename_component(dir "${path}" DIRECTORY)
  get_filename_component(dir "${dir}" REALPATH)
  list(APPEND bh_mingw_dirs "${dir}")
endforeach()
list(POP_BACK bh_mingw_dirs bh_import_lib_dir)
list(REMOVE_DUPLICATES bh_mingw_dirs)
get_filename_component(bh_qt_prefix "${Qt6_DIR}/../../.." REALPATH)

install(TARGETS brackenholt-config RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(CODE "
  set(BH_PROGRAM \"$<TARGET_FILE:brackenholt-config>\")
  set(BH_PLUGINS \"$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>\")
  set(BH_DLL_DIRS \"$<TARGET_FILE_DIR:Qt6::Core>;${bh_mingw_dirs}\")
  set(BH_IMPORT_LIB_DIR \"${bh_import_lib_dir}\")
  set(BH_QT_PREFIX \"${bh_qt_prefix}\")
  set(BH_QT_NOTICES \"${bh_qt_prefix}/share/notices/qtbase\")
  set(BH_FONT_PACKAGE fonts-ebgaramond)
  set(BH_HOMEPAGE_URL \"${BH_HOMEPAGE_URL}\")
  set(BH_VERSION \"${PROJECT_VERSION}\")
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
  set(BH_STRIP \"${CMAKE_STRIP}\")
")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/WindowsRuntime.cmake)

# As on Linux, an update never replaces the player's settings.
install(CODE "
  set(bh_settings \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bh.cfg\")
  if(NOT EXISTS \"\${bh_settings}\")
    file(INSTALL \"${PROJECT_SOURCE_DIR}/resources/bh.cfg\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}\")
  endif()
")

set(CPACK_GENERATOR ZIP)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME brackenholt-config)
set(CPACK_PACKAGE_VENDOR "Brackenholt Config developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Settings program of the game Brackenholt")
set(BH_WINDOWS_FOLDER "brackenholt-config-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR}")
set(BH_WINDOWS_ZIP "${PROJECT_BINARY_DIR}/packages/${BH_WINDOWS_FOLDER}.zip")
set(CPACK_PACKAGE_FILE_NAME ${BH_WINDOWS_FOLDER})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
include(CPack)
