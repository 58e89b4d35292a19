# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# Runs inside cpack, after the game folder is staged and before it is archived.
include(${CPACK_BH_DESKTOP_ENTRY_SCRIPT})
file(GLOB_RECURSE bh_entries
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${CPACK_BH_APP_ID}.desktop")
list(FILTER bh_entries INCLUDE REGEX "/share/applications/[^/]*$")
if(NOT bh_entries)
  message(FATAL_ERROR "No launcher entry staged under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(entry IN LISTS bh_entries)
  bh_write_desktop_entry("${CPACK_BH_ENTRY_TEMPLATE}" "${entry}" brackenholt-config)
endforeach()
