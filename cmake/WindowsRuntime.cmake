# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# Run at install time by GameFolderWindows.cmake: puts beside the program every DLL that it and
# its plug-ins load, except Windows' own, and the licence texts and source notes of all it carries.
# A cross build has no windeployqt; CMake reads the PE imports through mingw's objdump.

cmake_policy(VERSION 3.25)
set(bh_folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# CMake lower-cases the DLL names it reads and then looks for them on a case-sensitive file
# system, so it misses Qt6Core.dll and the like. Those are found here by name, whatever the
# case, and handed back to it as libraries whose own imports it reads in the next round.
foreach(dir IN LISTS BH_DLL_DIRS)
  file(GLOB candidates "${dir}/*.dll")
  foreach(candidate IN LISTS candidates)
    get_filename_component(name "${candidate}" NAME)
    string(TOLOWER "${name}" name)
    if(NOT DEFINED "bh_dll_${name}")
      set("bh_dll_${name}" "${candidate}")
    endif()
  endforeach()
endforeach()

# The program loads SDL2.dll itself once its window is on screen, so no import names it.
set(bh_by_name "${BH_SDL2_PREFIX}/bin/SDL2.dll")
while(TRUE)
  file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${BH_PROGRAM}"
    MODULES ${BH_PLUGINS}
    LIBRARIES ${bh_by_name}
    DIRECTORIES ${BH_DLL_DIRS}
    RESOLVED_DEPENDENCIES_VAR bh_dlls
    UNRESOLVED_DEPENDENCIES_VAR bh_unresolved)
  set(bh_more)
  foreach(dll IN LISTS bh_unresolved)
    if(DEFINED "bh_dll_${dll}" AND NOT "${bh_dll_${dll}}" IN_LIST bh_by_name)
      list(APPEND bh_more "${bh_dll_${dll}}")
    endif()
  endforeach()
  if(NOT bh_more)
    break()
  endif()
  list(APPEND bh_by_name ${bh_more})
endwhile()
list(APPEND bh_dlls ${bh_by_name})
list(REMOVE_DUPLICATES bh_dlls)

# What is not among our DLLs must be part of Windows itself: mingw has an import library for
# each of those. Anything else would be missing on the player's machine.
foreach(dll IN LISTS bh_unresolved)
  string(REGEX REPLACE "\\.dll$" "" name "${dll}")
  if(DEFINED "bh_dll_${dll}")
    continue()
  endif()
  if(NOT EXISTS "${BH_IMPORT_LIB_DIR}/lib${name}.a" AND NOT dll MATCHES "^(api|ext)-ms-")
    message(FATAL_ERROR "${dll} is needed but found neither among the DLLs we ship "
                        "(${BH_DLL_DIRS}) nor among Windows' own")
  endif()
endforeach()
list(SORT bh_dlls)
file(INSTALL ${bh_dlls} DESTINATION "${CMAKE_INSTALL_PREFIX}")

if(CMAKE_INSTALL_DO_STRIP)
  file(GLOB_RECURSE bh_binaries "${bh_folder}/*.dll" "${bh_folder}/*.exe")
  foreach(binary IN LISTS bh_binaries)
    execute_process(COMMAND "${BH_STRIP}" --strip-unneeded "${binary}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()

# Licences: Qt's and SDL2's (collected with them), and the Debian copyright file of every other
# package the folder takes something from: the mingw runtime DLLs and the faces built into the
# program.
set(bh_licences "${bh_folder}/licences")
file(REMOVE_RECURSE "${bh_licences}")
file(COPY "${BH_QT_NOTICES}/" DESTINATION "${bh_licences}/qt")
file(COPY "${BH_SDL2_PREFIX}/share/notices/SDL2/" DESTINATION "${bh_licences}/SDL2")
set(bh_from_debian "")
foreach(file IN LISTS bh_dlls)
  if(file MATCHES "^(${BH_QT_PREFIX}|${BH_SDL2_PREFIX})/")
    continue() # their notes came with them
  endif()
  execute_process(COMMAND dpkg-query -S "${file}" OUTPUT_VARIABLE owner
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE ":.*" "" package "${owner}")
  get_filename_component(name "${file}" NAME)
  list(APPEND bh_from_debian "${name}|${package}")
endforeach()
foreach(font IN LISTS BH_EMBEDDED_FONTS) # "what|file"
  string(REGEX REPLACE "^.*[|]" "" file "${font}")
  string(REGEX REPLACE "[|].*$" "" what "${font}")
  execute_process(COMMAND dpkg-query -S "${file}" OUTPUT_VARIABLE owner
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE ":.*" "" package "${owner}")
  list(APPEND bh_from_debian "${what}, built into brackenholt-config.exe|${package}")
endforeach()

set(bh_sources "Brackenholt Config ${BH_VERSION}, MIT licence: ${BH_HOMEPAGE_URL}\n\n")
string(APPEND bh_sources "Qt: see qt/SOURCE.txt; its licence texts are in qt/.\n")
string(APPEND bh_sources "SDL2 (SDL2.dll): see SDL2/SOURCE.txt; its licence is SDL2/LICENSE.txt.\n\n")
string(APPEND bh_sources "From Debian 12 packages, each with its copyright file here:\n")
foreach(entry IN LISTS bh_from_debian)
  string(REPLACE "|" ";" entry "${entry}")
  list(GET entry 0 what)
  list(GET entry 1 package)
  execute_process(COMMAND dpkg-query -W "-f=\${source:Package}=\${source:Version}" "${package}"
                  OUTPUT_VARIABLE source COMMAND_ERROR_IS_FATAL ANY)
  file(COPY_FILE "/usr/share/doc/${package}/copyright" "${bh_licences}/${package}.txt")
  string(APPEND bh_sources "  ${what}: ${package}.txt; source: apt-get source ${source}\n")
endforeach()
file(WRITE "${bh_licences}/SOURCES.txt" "${bh_sources}")
message(STATUS "Installing: ${bh_licences}")
