# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# The installed copy is a game folder on Linux and Windows alike, not a system package: the
# program finds bh.cfg beside itself and saves it there, so the folder must stay writable by the
# player, and no bin/ split or GNUInstallDirs may put the program away from it. Each folder holds
# the program, bh.cfg, a README.txt for the player and licences/; what a platform adds is in
# GameFolderLinux.cmake or GameFolderWindows.cmake.

# Installing and packaging take what has been built and never build it themselves: `make package`
# builds first, and a packaging test must not relink programs that other tests are running.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(BH_HOMEPAGE_URL "https://github.com/brackenholt/brackenholt-config"
    CACHE STRING "The program's home page and source, named in README.txt, licence notes, metainfo")
set(bh_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(bh_generated ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS brackenholt-config RUNTIME DESTINATION .)
# The package, and the one folder it unpacks into: brackenholt-config-<version>-<system>-<cpu>.
string(TOLOWER "brackenholt-config-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}" bh_package)
set(bh_package ${bh_package}-${CMAKE_SYSTEM_PROCESSOR})
include(${CMAKE_CURRENT_LIST_DIR}/GameFolder${CMAKE_SYSTEM_NAME}.cmake) # Linux or Windows

# In the platform's own line ends, so that the player's plain text editor shows it as lines.
configure_file(${bh_packaging}/README.txt.in ${bh_generated}/README.txt @ONLY
               NEWLINE_STYLE ${bh_line_ends})
install(FILES ${bh_generated}/README.txt DESTINATION .)

# An update lands on a folder where the player has saved settings: the default bh.cfg goes only
# where nothing stands in its place, not even a link whose target is gone (a drive not mounted
# now, say), and is writable whatever the source tree's permissions, or OK could not save it.
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

# One archive of the game folder, unpacked anywhere the player can write; the platform chose
# the archive's kind. No system package: it would put bh.cfg where OK cannot save it.
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_NAME brackenholt-config)
set(CPACK_PACKAGE_VENDOR "Brackenholt Config developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Settings program of the game Brackenholt")
set(CPACK_PACKAGE_FILE_NAME ${bh_package})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
include(CPack)
