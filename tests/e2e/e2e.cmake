# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# End-to-end tests: the real executable in a private X server, driven from outside with
# xdotool. One ctest test per group of scenarios, so groups run side by side under -j and a
# failure names its area. Each group takes a few seconds; the timeout only guards a hang.
# The driver exits 77 (skipped) when the desktop's tools of scripts/install-deps are missing.
if(TARGET brackenholt-config)
  set(BH_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})
  set(e2e ${BH_E2E_DIR}/test_e2e.py --keep ${CMAKE_CURRENT_BINARY_DIR}/e2e-failures)
  function(bh_add_e2e_test name)
    bh_add_pytest(e2e_${name} ${ARGN})
    set_tests_properties(e2e_${name} PROPERTIES LABELS e2e TIMEOUT 180)
  endfunction()
  foreach(group load files colours options errors scale)
    bh_add_e2e_test(${group} ${e2e} --exe $<TARGET_FILE:brackenholt-config> --group ${group})
  endforeach()
  # The same driver on Wayland, with the program as a player gets it: in the game folder laid out
  # by cmake --install with whatever the folder brings along, started with the session's
  # environment and no QT_QPA_PLATFORM. On sway, nested in an Xvfb, the compositor draws the title
  # bars and the program must stay on Wayland; on GNOME's mutter and on weston, which draw bars
  # only for X11 windows, the title bar must be there and do no harm.
  foreach(desktop "sway;wayland;wayland" "mutter;titlebar;wayland_mutter"
                  "weston;titlebar;wayland_weston")
    list(GET desktop 0 session)
    list(GET desktop 1 group)
    list(GET desktop 2 name)
    bh_add_e2e_test(${name} ${e2e} --session ${session} --group ${group}
                    --exe ${BH_GAME_FOLDER}/brackenholt-config --whole-folder)
    set_tests_properties(e2e_${name} PROPERTIES FIXTURES_REQUIRED game_folder)
  endforeach()

  # The same program through AT-SPI alone, on a session bus of the test's own (dbus-run-session
  # comes with dbus-daemon, which scripts/install-deps installs).
  set(BH_PYTEST dbus-run-session -- ${BH_PYTEST})
  bh_add_e2e_test(atspi ${BH_E2E_DIR}/test_atspi.py --exe $<TARGET_FILE:brackenholt-config>)
  set(BH_PYTEST ${BH_PYTHON3} -m pytest)
endif()
