# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# What the Windows game folder adds to what every game folder holds (cmake/GameFolder.cmake): a
# GUI program (no console window) with its file icon and version information, every DLL it
# loads, and a .zip.
#
#   <prefix>/Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, and the mingw runtime DLLs they need
#   <prefix>/SDL2.dll                                game controllers (scripts/build-sdl2)
#   <prefix>/platforms/qwindows.dll                  Qt's Windows platform plug-in
#   <prefix>/licences/                               licence texts and where the sources are
#
# No style plug-in: the program draws its controls with Qt's own Fusion style on every platform,
# since the window is laid out to the pixel in Fusion's measures.

set_target_properties(brackenholt-config PROPERTIES WIN32_EXECUTABLE ON)
configure_file(${PROJECT_SOURCE_DIR}/resources/brackenholt-config.rc.in
               ${PROJECT_BINARY_DIR}/brackenholt-config.rc @ONLY)
target_sources(brackenholt-config PRIVATE ${PROJECT_BINARY_DIR}/brackenholt-config.rc)

set(bh_line_ends CRLF)
# Lines of a value keep their ends as written: CR LF here, as in the rest of the README.
set(BH_HOW_TO_START "It runs on 64-bit Windows 10 (version 1809 or later) and Windows 11, and under\r
Wine and Steam's Proton on Linux, where it looks just as it does on Windows: it brings its own\r
fonts. To start it, open brackenholt-config.exe in this folder.")
set(BH_LICENCE_INDEX licences\\SOURCES.txt)

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

install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(CODE "
  set(BH_PROGRAM \"$<TARGET_FILE:brackenholt-config>\")
  set(BH_PLUGINS \"$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>\")
  set(BH_DLL_DIRS \"$<TARGET_FILE_DIR:Qt6::Core>;${BH_SDL2_PREFIX}/bin;${bh_mingw_dirs}\")
  set(BH_SDL2_PREFIX \"${BH_SDL2_PREFIX}\")
  set(BH_IMPORT_LIB_DIR \"${bh_import_lib_dir}\")
  set(BH_QT_PREFIX \"${bh_qt_prefix}\")
  set(BH_QT_NOTICES \"${bh_qt_prefix}/share/notices/qtbase\")
  set(BH_EMBEDDED_FONTS \"${BH_EMBEDDED_FONTS}\")
  set(BH_HOMEPAGE_URL \"${BH_HOMEPAGE_URL}\")
  set(BH_VERSION \"${PROJECT_VERSION}\")
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
  set(BH_STRIP \"${CMAKE_STRIP}\")
")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/WindowsRuntime.cmake)

set(CPACK_GENERATOR ZIP)
# The tests unpack the .zip and play the folder in it.
set(BH_WINDOWS_FOLDER ${bh_package})
set(BH_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/packages/${bh_package}.zip)
