# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# The installed game folder (laid out once by install_game_folder), the player's launcher scripts
# and the portable package.
foreach(test install_layout launcher_scripts)
  string(REGEX REPLACE "^install_" "" name ${test})
  bh_add_pytest(install_${name} ${bh_install_tests}/test_${test}.py ${bh_install_args}
                --game-folder ${BH_GAME_FOLDER})
  set_tests_properties(install_${name} PROPERTIES FIXTURES_REQUIRED game_folder TIMEOUT 300)
endforeach()
# The package test leaves its archive in build/test-package for the tests that unpack it again.
# Packing compresses Qt and ICU with xz, which takes a minute or two on a busy machine.
bh_add_pytest(install_portable_package ${bh_install_tests}/test_portable_package.py
              ${bh_install_args} --cpack ${CMAKE_CPACK_COMMAND})
set_tests_properties(install_portable_package PROPERTIES FIXTURES_SETUP bh_game_package
                     TIMEOUT 900)
# The same package on a player's machine, a minimal Debian made once and cached under
# ~/.cache/brackenholt: Debian 12 without Qt or ICU, and Debian 13 with a newer Qt of its own that
# the launcher's environment points at. Skipped where a root cannot be made or entered (no root
# rights, no Debian mirror). Making one the first time downloads its libraries.
foreach(root "qtless_root;debian12" "newer_qt_root;debian13")
  list(GET root 0 name)
  list(GET root 1 debian)
  bh_add_pytest(install_${name} ${bh_install_tests}/test_portable_package.py ${bh_install_args}
                --in-root ${debian})
  set_tests_properties(install_${name} PROPERTIES FIXTURES_REQUIRED bh_game_package TIMEOUT 900)
endforeach()
