# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# The installed copy is a game folder, not a system package: the program finds bh.cfg beside
# itself and saves it there, so the folder holds the program, its settings and the launcher
# files, and must stay writable by the player.
#
#   <prefix>/brackenholt-config                        the program
#   <prefix>/bh.cfg                                    default settings, never over a player's
#   <prefix>/register-launcher, unregister-launcher    add or remove the menu entry for this user
#   <prefix>/share/applications/<id>.desktop           launcher entry
#   <prefix>/share/icons/hicolor/{32x32,64x64}/apps/<id>.png
#   <prefix>/share/metainfo/<id>.metainfo.xml          software-centre description
#
# No bin/ split and no GNUInstallDirs: either would put the program away from its bh.cfg. On
# Linux the folder also carries the Qt the program runs with (cmake/LinuxRuntime.cmake).

# Installing and packaging take what has been built and never build it themselves: `make package`
# builds first, and a packaging test must not relink programs that other tests are running.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(BH_HOMEPAGE_URL "https://github.com/brackenholt/brackenholt-config"
    CACHE STRING "Project home page named in the software-centre description")
set(BH_SCREENSHOT_URL "https://raw.githubusercontent.com/brackenholt/brackenholt-config/main/docs/screenshot.png"
    CACHE STRING "Where software centres fetch docs/screenshot.png from; it must be http(s)")
# Bump with the project version; the description lists the release and its date.
set(BH_RELEASE_DATE "2026-12-07")

set(bh_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(bh_generated ${PROJECT_BINARY_DIR}/packaging)
configure_file(${bh_packaging}/brackenholt-config.desktop.in
               ${bh_generated}/${BH_APP_ID}.desktop.in @ONLY)
configure_file(${bh_packaging}/brackenholt-config.metainfo.xml.in
               ${bh_generated}/${BH_APP_ID}.metainfo.xml @ONLY)
configure_file(${bh_packaging}/register-launcher ${bh_generated}/register-launcher @ONLY)
configure_file(${bh_packaging}/unregister-launcher ${bh_generated}/unregister-launcher @ONLY)

install(TARGETS brackenholt-config RUNTIME DESTINATION .)
if(UNIX AND NOT APPLE)
  include(${CMAKE_CURRENT_LIST_DIR}/LinuxRuntime.cmake)
endif()
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

# A reinstall or an update lands on a folder where the player has saved settings: only a
# folder without bh.cfg (or with a dangling link in its place) gets the default one.
install(CODE "
  set(bh_settings \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bh.cfg\")
  if(EXISTS \"\${bh_settings}\" OR IS_SYMLINK \"\${bh_settings}\")
    message(STATUS \"Keeping the player's settings: \${bh_settings}\")
  else()
    file(INSTALL \"${PROJECT_SOURCE_DIR}/resources/bh.cfg\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}\"
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
")

# Packaging: one portable .tar.xz of the game folder. No .deb or .rpm: a system package would
# put bh.cfg in a folder the player cannot write to, and OK would fail to save. xz rather than
# gzip because the folder carries Qt and ICU: the archive is 30 % smaller, and every desktop's
# archive manager and tar unpack it.
set(CPACK_GENERATOR TXZ)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME brackenholt-config)
set(CPACK_PACKAGE_VENDOR "Brackenholt Config developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Settings program of the game Brackenholt")
set(CPACK_PACKAGE_FILE_NAME
    "brackenholt-config-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
# The staged entry names the staging folder, which means nothing once unpacked: rewrite it to
# the bare program name, and register-launcher writes the real path on the player's machine.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RelocatableEntry.cmake)
set(CPACK_BH_APP_ID ${BH_APP_ID})
set(CPACK_BH_ENTRY_TEMPLATE ${bh_generated}/${BH_APP_ID}.desktop.in)
set(CPACK_BH_DESKTOP_ENTRY_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/DesktopEntry.cmake)
include(CPack)
