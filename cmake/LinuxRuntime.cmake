# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# On Linux the game folder carries its own Qt, so the program starts on a desktop that has no
# Qt or another version of it:
#
#   <prefix>/qt.conf                  tells Qt its plugins are in plugins/, beside the program
#   <prefix>/lib/                     Qt, ICU, SDL2 and the other non-base libraries
#   <prefix>/plugins/<type>/          the X11 and Wayland platform plugins and what they load
#   <prefix>/licences/                the bundled libraries' licence texts and their source
#   <prefix>/share/brackenholt-config/needs   the oldest glibc and libstdc++ it runs on
#
# The libraries are found with CMake's runtime dependency search at install time, never listed
# here; cmake/BundleRuntime.cmake holds the base libraries a player's desktop provides.

find_program(BH_PATCHELF patchelf REQUIRED)
find_program(BH_DPKG_QUERY dpkg-query REQUIRED)
find_program(BH_READELF readelf REQUIRED)

# The plugins the program loads on an X11 or Wayland desktop: the platform itself, on Wayland
# the shell protocol every current compositor speaks, and the input context that gives dead keys
# and compose. OpenGL integrations and image formats are left out: the window is painted in
# software from PNG pictures, which Qt reads without a plugin. So is Qt's own Wayland title bar:
# Qt 6.4 draws it only with the OpenGL integration loaded (it would start the OpenGL driver, some
# 50 MiB, on every Wayland desktop), and its maximise button ends a fixed-size window on GNOME.
# Where the compositor draws no title bars the program goes through Xwayland instead
# (app/DesktopPlatformLinux.cpp).
set(BH_QT_PLUGINS
  platforms/libqxcb.so
  platforms/libqwayland-generic.so
  wayland-shell-integration/libxdg-shell.so
  platforminputcontexts/libcomposeplatforminputcontextplugin.so)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/qt.conf DESTINATION .)
install(CODE "
  set(BH_PROGRAM \"$<TARGET_FILE:brackenholt-config>\")
  set(BH_QT_PLUGIN_DIR \"${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}\")
  set(BH_QT_PLUGINS \"${BH_QT_PLUGINS}\")
  set(BH_SDL2_PREFIX \"${BH_SDL2_PREFIX}\")
  set(BH_NEEDS_FILE share/brackenholt-config/needs) # register-launcher reads it there
  set(BH_PATCHELF \"${BH_PATCHELF}\")
  set(BH_READELF \"${BH_READELF}\")
  set(BH_DPKG_QUERY \"${BH_DPKG_QUERY}\")
  set(BH_EMBEDDED_FONTS \"${BH_EMBEDDED_FONTS}\")
  include(\"${PROJECT_SOURCE_DIR}/cmake/BundleRuntime.cmake\")
")
