# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# The installed game folder, the player's launcher scripts and the portable package. Each test
# installs or packs the already built program into its own temporary folder.
add_test(NAME install_layout
         COMMAND ${BH_PYTHON3} ${bh_install_tests}/install_layout.py ${bh_install_args})
add_test(NAME install_launcher_scripts
         COMMAND ${BH_PYTHON3} ${bh_install_tests}/launcher_scripts.py ${bh_install_args})
add_test(NAME install_portable_package
         COMMAND ${BH_PYTHON3} ${bh_install_tests}/portable_package.py ${bh_install_args}
                 --cpack ${CMAKE_CPACK_COMMAND})
set_tests_properties(install_layout install_launcher_scripts install_portable_package
                     PROPERTIES ENVIRONMENT "${BH_PYTHON_TEST_ENV}" TIMEOUT 300)
# The package test leaves its archive in build/test-package for the tests that unpack it again.
# Packing compresses Qt and ICU with xz, which takes a minute or two on a busy machine.
set_tests_properties(install_portable_package PROPERTIES FIXTURES_SETUP bh_game_package
                     TIMEOUT 900)
# The same package on a player's machine, a minimal Debian made once and cached under
# ~/.cache/brackenholt: Debian 12 without Qt or ICU, and Debian 13 with a newer Qt of its own that
# the launcher's environment points at. Skipped where a root cannot be made or entered (no root
# rights, no Debian mirror). Making one the first time downloads its libraries.
add_test(NAME install_qtless_root
         COMMAND ${BH_PYTHON3} ${bh_install_tests}/portable_package.py ${bh_install_args}
                 --cpack ${CMAKE_CPACK_COMMAND} --in-root debian12)
add_test(NAME install_newer_qt_root
         COMMAND ${BH_PYTHON3} ${bh_install_tests}/portable_package.py ${bh_install_args}
                 --cpack ${CMAKE_CPACK_COMMAND} --in-root debian13)
set_tests_properties(install_qtless_root install_newer_qt_root PROPERTIES
  FIXTURES_REQUIRED bh_game_package ENVIRONMENT "${BH_PYTHON_TEST_ENV}" TIMEOUT 900
  SKIP_RETURN_CODE 77)
