# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# Writes the launcher entry with Exec and TryExec pointing at one program. Run as a script
# (cmake -P) or included; packaging/register-launcher does the same in shell for a player's
# unpacked folder, so the two must quote alike.

# Quotes a path as one argument of an Exec key: inside double quotes " ` $ \ take a backslash,
# and the whole value then goes through the string escape that doubles every backslash. A %
# would start a field code, so it is doubled too.
function(bh_desktop_exec_arg path out)
  if(path MATCHES "^[A-Za-z0-9/._+-]+$")
    set(${out} "${path}" PARENT_SCOPE)
    return()
  endif()
  string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" quoted "${path}")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "%" "%%" quoted "${quoted}")
  set(${out} "\"${quoted}\"" PARENT_SCOPE)
endfunction()

# template: the configured entry; program: an absolute path, or a bare name for an entry that
# only becomes usable once register-launcher has written the real path.
function(bh_write_desktop_entry template output program)
  if(program MATCHES "[\n\r]")
    message(FATAL_ERROR "A launcher entry cannot name a path with a line break: ${program}")
  endif()
  bh_desktop_exec_arg("${program}" exec)
  string(REPLACE "\\" "\\\\" try_exec "${program}")
  file(READ "${template}" text)
  # The whole entry is one string, so a ; or [ in a path cannot split or bracket anything;
  # the replacement text doubles its backslashes because REGEX REPLACE reads \ as an escape.
  foreach(key Exec TryExec)
    if(key STREQUAL "Exec")
      set(value "${exec}")
    else()
      set(value "${try_exec}")
    endif()
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REGEX REPLACE "\n${key}=[^\n]*" "\n${key}=${value}" text "${text}")
  endforeach()
  file(WRITE "${output}" "${text}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  bh_write_desktop_entry("${TEMPLATE}" "${OUTPUT}" "${PROGRAM}")
endif()
