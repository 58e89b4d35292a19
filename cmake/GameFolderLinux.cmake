# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# What the Linux game folder adds to what every game folder holds (cmake/GameFolder.cmake): the
# files that put the program in the player's menu, the Qt it runs with, and a .tar.xz.
#
#   <prefix>/register-launcher, unregister-launcher    add or remove the menu entry for this user
#   <prefix>/share/applications/<id>.desktop           launcher entry
#   <prefix>/share/icons/hicolor/{32x32,64x64}/apps/<id>.png
#   <prefix>/share/metainfo/<id>.metainfo.xml          software-centre description
#   <prefix>/qt.conf, lib/, plugins/, licences/        the Qt it runs with: LinuxRuntime.cmake

set(BH_SCREENSHOT_URL "https://raw.githubusercontent.com/brackenholt/brackenholt-config/main/docs/screenshot.png"
    CACHE STRING "Where software centres fetch docs/screenshot.png from; it must be http(s)")
# Bump with the project version; the description lists the release and its date.
set(BH_RELEASE_DATE "2026-12-07")
set(bh_line_ends LF)
set(BH_HOW_TO_START "To start it, open brackenholt-config in this folder (or run ./brackenholt-config
in a terminal). To add it to your desktop's menu, run ./register-launcher in this folder; run
it again after moving the folder, and ./unregister-launcher before deleting it.")
set(BH_LICENCE_INDEX licences/README.txt)

configure_file(${bh_packaging}/brackenholt-config.desktop.in
               ${bh_generated}/${BH_APP_ID}.desktop.in @ONLY)
configure_file(${bh_packaging}/brackenholt-config.metainfo.xml.in
               ${bh_generated}/${BH_APP_ID}.metainfo.xml @ONLY)
configure_file(${bh_packaging}/register-launcher ${bh_generated}/register-launcher @ONLY)
configure_file(${bh_packaging}/unregister-launcher ${bh_generated}/unregister-launcher @ONLY)

include(${CMAKE_CURRENT_LIST_DIR}/LinuxRuntime.cmake)
install(PROGRAMS ${bh_generated}/register-launcher ${bh_generated}/unregister-launcher
        DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon.png
        DESTINATION share/icons/hicolor/32x32/apps RENAME ${BH_APP_ID}.png)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icon@2x.png
        DESTINATION share/icons/hicolor/64x64/apps RENAME ${BH_APP_ID}.png)
install(FILES ${bh_generated}/${BH_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The prefix is only known at install time, so the entry is written then, naming the program
# where it now lies.
install(CODE "
  include(\"${PROJECT_SOURCE_DIR}/cmake/DesktopEntry.cmake\")
  set(bh_entry \"\${CMAKE_INSTALL_PREFIX}/share/applications/${BH_APP_ID}.desktop\")
  message(STATUS \"Installing: \$ENV{DESTDIR}\${bh_entry}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications\")
  bh_write_desktop_entry(\"${bh_generated}/${BH_APP_ID}.desktop.in\"
                         \"\$ENV{DESTDIR}\${bh_entry}\"
                         \"\${CMAKE_INSTALL_PREFIX}/brackenholt-config\")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\$ENV{DESTDIR}\${bh_entry}\")
")

# xz rather than gzip because the folder carries Qt and ICU: the archive is 30 % smaller, and
# every desktop's archive manager and tar unpack it.
set(CPACK_GENERATOR TXZ)
# The staged entry names the staging folder, which means nothing once unpacked: rewrite it to
# the bare program name, and register-launcher writes the real path on the player's machine.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RelocatableEntry.cmake)
set(CPACK_BH_APP_ID ${BH_APP_ID})
set(CPACK_BH_ENTRY_TEMPLATE ${bh_generated}/${BH_APP_ID}.desktop.in)
set(CPACK_BH_DESKTOP_ENTRY_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/DesktopEntry.cmake)
