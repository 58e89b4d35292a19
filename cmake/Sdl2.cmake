# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# SDL2, for game controllers: built once by scripts/build-sdl2 from Debian's source with only what
# a pad needs, cached outside the tree, and imported as SDL2::SDL2. Sets BH_SDL2_PREFIX, where
# the game folder takes the library and its licence notes (share/notices/SDL2) from.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(bh_sdl2_target windows)
else()
  set(bh_sdl2_target linux)
endif()
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-sdl2 ${bh_sdl2_target}
                OUTPUT_VARIABLE BH_SDL2_PREFIX OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
# A cross build looks for packages only under its sysroot; this prefix lies outside it.
find_package(SDL2 2.24 REQUIRED CONFIG PATHS ${BH_SDL2_PREFIX} NO_DEFAULT_PATH
             NO_CMAKE_FIND_ROOT_PATH)
# The program's main is its own: SDL must not rename it to SDL_main on Windows.
set_property(TARGET SDL2::SDL2 APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS SDL_MAIN_HANDLED)
