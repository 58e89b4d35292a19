# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# Runs at install time (from LinuxRuntime.cmake): copies into the game folder every shared
# library the program and its Qt plugins need beyond a desktop's base libraries, points the
# program and all of them at each other with $ORIGIN-relative RPATHs, notes the oldest C and C++
# runtimes the folder can run on, and lays down the licence texts and the source of each bundled
# library. Expects BH_PROGRAM (the built program), BH_QT_PLUGIN_DIR, BH_QT_PLUGINS (type/file.so
# under it), BH_SDL2_PREFIX (SDL2 as scripts/build-sdl2 built it), BH_NEEDS_FILE (where the runtimes go, under the folder), BH_PATCHELF, BH_READELF and
# BH_DPKG_QUERY.

# Base libraries: every desktop that can show a window has them, and they must come from the
# player's system because they talk to its kernel, X server, compositor, GPU driver and font
# set up. The same split as desktop application bundles make. Everything else (Qt, ICU,
# double-conversion, pcre2, md4c, harfbuzz, the xcb-util helpers...) is carried, because
# distributions ship other versions of them or none at all. A base library's own dependencies
# are not followed.
set(bh_base_libraries
  # glibc and its parts, and the GCC runtime it is built with
  "^ld-linux" "^lib(c|m|mvec|dl|pthread|rt|resolv|util|anl|nsl|BrokenLocale|thread_db)\\.so"
  "^libnss_" "^lib(stdc\\+\\+|gcc_s)\\.so"
  # X11, the core xcb library and its protocol extensions (the xcb-util helpers are not base)
  "^lib(X11|X11-xcb|Xau|Xdmcp|Xext|Xrender|Xfixes|Xi|Xrandr|Xcursor|SM|ICE)\\.so"
  "^libxcb(-(composite|damage|dpms|dri2|dri3|glx|present|randr|record|render|res))?\\.so"
  "^libxcb-(screensaver|shape|shm|sync|xf86dri|xfixes|xinerama|xinput|xkb|xtest|xv|xvmc)\\.so"
  "^libxkbcommon\\.so"
  # Wayland client side
  "^libwayland-(client|cursor|egl)\\.so"
  # OpenGL and EGL come with the GPU driver
  "^lib(GL|EGL|GLX|OpenGL|GLdispatch|GLESv2|glapi|gbm|drm)\\.so"
  # fonts, GLib and D-Bus, compression every system links
  "^lib(fontconfig|freetype|expat|z)\\.so"
  "^lib(glib|gobject|gio|gmodule|gthread)-2\\.0\\.so"
  "^libdbus-1\\.so")

set(bh_game "${CMAKE_INSTALL_PREFIX}")
set(bh_plugin_sources)
foreach(plugin IN LISTS BH_QT_PLUGINS)
  set(source "${BH_QT_PLUGIN_DIR}/${plugin}")
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "The Qt plugin ${source} is missing; scripts/install-deps installs it")
  endif()
  list(APPEND bh_plugin_sources "${source}")
endforeach()

# The program loads SDL2 itself once its window is on screen, so no import names it.
set(bh_sdl2 "${BH_SDL2_PREFIX}/lib/libSDL2-2.0.so.0")
file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES "${BH_PROGRAM}"
  MODULES ${bh_plugin_sources} "${bh_sdl2}"
  RESOLVED_DEPENDENCIES_VAR bh_libraries
  UNRESOLVED_DEPENDENCIES_VAR bh_unresolved
  CONFLICTING_DEPENDENCIES_PREFIX bh_conflict
  PRE_EXCLUDE_REGEXES ${bh_base_libraries})
if(bh_unresolved)
  message(FATAL_ERROR "Cannot find the libraries ${bh_unresolved} to put in the game folder")
endif()
foreach(name IN LISTS bh_conflict_FILENAMES)
  message(FATAL_ERROR "Two different ${name} are needed: ${bh_conflict_${name}}")
endforeach()

# Files land under the name the loader asks for, as plain files: a player replacing a library
# replaces one file, and a symbolic link chain would not survive every unpacker.
set(bh_bundled)
foreach(library IN LISTS bh_libraries bh_sdl2)
  get_filename_component(name "${library}" NAME)
  file(REAL_PATH "${library}" real)
  file(INSTALL "${real}" DESTINATION "${bh_game}/lib" RENAME "${name}")
  list(APPEND bh_bundled "lib/${name}|${real}")
endforeach()
foreach(plugin IN LISTS BH_QT_PLUGINS)
  get_filename_component(type "${plugin}" DIRECTORY)
  file(REAL_PATH "${BH_QT_PLUGIN_DIR}/${plugin}" real)
  get_filename_component(name "${plugin}" NAME)
  file(INSTALL "${real}" DESTINATION "${bh_game}/plugins/${type}" RENAME "${name}")
  list(APPEND bh_bundled "plugins/${plugin}|${real}")
endforeach()

# Each file finds its neighbours in lib/, wherever the folder is unpacked, and before anything
# else: the loader searches a DT_RPATH ahead of LD_LIBRARY_PATH (a DT_RUNPATH after it), and
# launchers and game stores' runtimes point LD_LIBRARY_PATH at the system's libraries, whose Qt
# of another version would replace the folder's and refuse its plugins. A player replaces a
# library by putting another file in its place in lib/.
set(bh_binaries brackenholt-config)
foreach(entry IN LISTS bh_bundled)
  string(REGEX REPLACE "[|].*$" "" relative "${entry}")
  list(APPEND bh_binaries "${relative}")
endforeach()
foreach(relative IN LISTS bh_binaries)
  if(relative MATCHES "^plugins/")
    set(rpath "$ORIGIN/../../lib")
  elseif(relative MATCHES "^lib/")
    set(rpath "$ORIGIN")
  else()
    set(rpath "$ORIGIN/lib")
  endif()
  execute_process(COMMAND "${BH_PATCHELF}" --force-rpath --set-rpath "${rpath}"
                          "$ENV{DESTDIR}${bh_game}/${relative}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "patchelf could not set the RPATH of ${relative}")
  endif()
endforeach()

# The oldest glibc and libstdc++ the folder runs on are the highest symbol versions its files ask
# of them; register-launcher compares them with the player's system and refuses an older one
# with a reason, where the loader would print a screenful to a terminal nobody sees.
set(bh_needs_GLIBC 0)
set(bh_needs_GLIBCXX 0)
foreach(relative IN LISTS bh_binaries)
  execute_process(COMMAND "${BH_READELF}" --version-info --wide
                          "$ENV{DESTDIR}${bh_game}/${relative}"
                  OUTPUT_VARIABLE versions RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "readelf cannot list the symbol versions ${relative} needs")
  endif()
  string(REGEX MATCHALL "Name: GLIBC(XX)?_[0-9.]+" asked "${versions}")
  foreach(version IN LISTS asked)
    string(REGEX REPLACE "^Name: ([A-Z]+)_(.*)$" "\\1;\\2" version "${version}")
    list(GET version 0 runtime)
    list(GET version 1 number)
    if(number VERSION_GREATER bh_needs_${runtime})
      set(bh_needs_${runtime} "${number}")
    endif()
  endforeach()
endforeach()
set(bh_needs "${bh_game}/${BH_NEEDS_FILE}")
message(STATUS "Installing: $ENV{DESTDIR}${bh_needs}")
file(WRITE "$ENV{DESTDIR}${bh_needs}" "\
# The oldest C and C++ runtimes this game folder runs on: the highest symbol versions its
# program, libraries and plugins ask for. register-launcher reads it.
glibc ${bh_needs_GLIBC}
GLIBCXX ${bh_needs_GLIBCXX}
")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "$ENV{DESTDIR}${bh_needs}")

# Licences: the Debian package each file comes from, its copyright file (which holds the licence
# texts), and the source package of the same version that builds it. Debian names a library by
# its /usr path, the loader may have found it through /lib: ask for both at once.
function(bh_path_twin path out)
  string(REGEX REPLACE "^/usr/" "/" twin "${path}")
  if(twin STREQUAL path)
    set(twin "/usr${path}")
  endif()
  set(${out} "${twin}" PARENT_SCOPE)
endfunction()

# SDL2 is no Debian package's file: it is built here from Debian's source with only what a pad
# needs, and brought its licence and the account of its source along.
set(bh_debian_built)
set(bh_sdl2_rows)
foreach(entry IN LISTS bh_bundled)
  if(entry MATCHES "^([^|]*)[|]${BH_SDL2_PREFIX}/")
    string(APPEND bh_sdl2_rows "  ${CMAKE_MATCH_1}\n      SDL2, built from Debian's source: licences/SDL2/SOURCE.txt\n")
  else()
    list(APPEND bh_debian_built "${entry}")
  endif()
endforeach()
set(bh_bundled ${bh_debian_built})
file(INSTALL "${BH_SDL2_PREFIX}/share/notices/SDL2" DESTINATION "${bh_game}/licences")
# The faces built into the program come from Debian packages too, and their licences go with it.
set(bh_licensed ${bh_bundled})
foreach(font IN LISTS BH_EMBEDDED_FONTS) # "what|file"
  string(REPLACE "|" ", built in)|" font "${font}")
  list(APPEND bh_licensed "brackenholt-config (${font}")
endforeach()

set(bh_candidates)
foreach(entry IN LISTS bh_licensed)
  string(REGEX REPLACE "^[^|]*[|]" "" real "${entry}")
  bh_path_twin("${real}" other)
  list(APPEND bh_candidates "${real}" "${other}")
endforeach()
execute_process(COMMAND "${BH_DPKG_QUERY}" --search ${bh_candidates}
                OUTPUT_VARIABLE owners ERROR_QUIET)
string(REGEX MATCHALL "[^\n]+" owners "${owners}")
foreach(line IN LISTS owners)
  if(line MATCHES "^([^:, ]+)(:[a-z0-9]+)?: (/.*)$")
    set(bh_owner_${CMAKE_MATCH_3} "${CMAKE_MATCH_1}")
  endif()
endforeach()

set(bh_packages)
foreach(entry IN LISTS bh_licensed)
  string(REGEX REPLACE "^[^|]*[|]" "" real "${entry}")
  bh_path_twin("${real}" other)
  if(DEFINED bh_owner_${real})
    list(APPEND bh_packages "${bh_owner_${real}}")
  elseif(DEFINED bh_owner_${other})
    list(APPEND bh_packages "${bh_owner_${other}}")
  else()
    message(FATAL_ERROR "No Debian package owns ${real}: its licence cannot be named")
  endif()
endforeach()
set(bh_unique_packages ${bh_packages})
list(REMOVE_DUPLICATES bh_unique_packages)
set(bh_fields "\${Package}|\${Version}|\${source:Package}|\${source:Version}")
execute_process(COMMAND "${BH_DPKG_QUERY}" --show "--showformat=${bh_fields}\n"
                        ${bh_unique_packages}
                OUTPUT_VARIABLE described RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dpkg-query cannot describe ${bh_unique_packages}")
endif()
string(REGEX MATCHALL "[^\n]+" described "${described}")
set(bh_sources)
foreach(line IN LISTS described)
  string(REPLACE "|" ";" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 1 version)
  list(GET fields 2 source)
  list(GET fields 3 source_version)
  set(bh_origin_${name}
      "${name} ${version}, built from Debian's source package ${source} ${source_version}")
  list(APPEND bh_sources "${source}=${source_version}")
  file(REAL_PATH "/usr/share/doc/${name}/copyright" copyright)
  if(NOT EXISTS "${copyright}")
    message(FATAL_ERROR "${name} has no /usr/share/doc/${name}/copyright to ship")
  endif()
  file(INSTALL "${copyright}" DESTINATION "${bh_game}/licences/${name}")
endforeach()

set(bh_rows)
foreach(entry package IN ZIP_LISTS bh_licensed bh_packages)
  string(REGEX REPLACE "[|].*$" "" relative "${entry}")
  string(APPEND bh_rows "  ${relative}\n      ${bh_origin_${package}}\n")
endforeach()
list(REMOVE_DUPLICATES bh_sources)
list(SORT bh_sources)
list(JOIN bh_sources "\n  apt-get source " bh_source_lines)

set(bh_readme "${bh_game}/licences/README.txt")
message(STATUS "Installing: $ENV{DESTDIR}${bh_readme}")
file(WRITE "$ENV{DESTDIR}${bh_readme}" "\
Libraries carried by Brackenholt Config

The program (MIT licence) needs Qt 6, SDL2 and the libraries below. So that it starts on any
desktop Linux, they come with it in lib/ and plugins/, as separate shared libraries, exactly as
Debian 12 (bookworm) built them, but for SDL2, built from Debian's source with only its game
controller parts (licences/SDL2/SOURCE.txt says how); only their library search path (RPATH) was
set to look in lib/ first.

You may replace any of them with your own build of the same library and a compatible version:
put it in place of the file of the same name in lib/ or plugins/. Qt and ICU may be replaced
this way as the GNU Lesser General Public Licence asks. LD_LIBRARY_PATH does not reach them:
the folder's own libraries come first, so that a launcher's library path cannot give the
program another Qt than the one its plugins are built for.

The licence texts are in licences/<package>/copyright, one folder for each Debian package.
The complete source code of each library is Debian's source package of the version named
below, which any Debian archive or its snapshots hold; for instance, with a bookworm deb-src
entry in the APT sources:

  apt-get source ${bh_source_lines}

Files, the Debian package they come from and the source package it is built from:

${bh_rows}${bh_sdl2_rows}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "$ENV{DESTDIR}${bh_readme}")
