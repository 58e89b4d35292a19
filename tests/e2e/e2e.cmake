# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# End-to-end tests: the real executable in a private X server, driven from outside with
# xdotool. One ctest test per group of scenarios, so groups run side by side under -j and a
# failure names its area. Each group takes a few seconds; the timeout only guards a hang.
# The driver exits 77 (skipped) when the desktop's tools of scripts/install-deps are missing.
if(TARGET brackenholt-config)
  function(bh_add_e2e_test name)
    add_test(NAME e2e_${name} COMMAND ${ARGN})
    set_tests_properties(e2e_${name} PROPERTIES
      ENVIRONMENT "${BH_PYTHON_TEST_ENV}" LABELS e2e TIMEOUT 180 SKIP_RETURN_CODE 77)
  endfunction()
  set(BH_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})
  set(run_e2e ${BH_PYTHON3} ${BH_E2E_DIR}/run_e2e.py --keep ${CMAKE_CURRENT_BINARY_DIR}/e2e-failures)
  foreach(group load files colours options errors scale)
    bh_add_e2e_test(${group} ${run_e2e} --exe $<TARGET_FILE:brackenholt-config> --group ${group})
  endforeach()
  # The same driver on Wayland, with the program as a player gets it: in a game folder laid out by
  # cmake --install with whatever the folder brings along, started with the session's environment
  # and no QT_QPA_PLATFORM. On sway, nested in an Xvfb, the compositor draws the title bars and the
  # program must stay on Wayland; on GNOME's mutter and on weston, which draw bars only for X11
  # windows, the title bar must be there and do no harm.
  foreach(desktop "sway;wayland;wayland" "mutter;titlebar;wayland_mutter"
                  "weston;titlebar;wayland_weston")
    list(GET desktop 0 session)
    list(GET desktop 1 group)
    list(GET desktop 2 name)
    bh_add_e2e_test(${name} ${run_e2e} --session ${session} --group ${group}
                    --install ${PROJECT_BINARY_DIR} --cmake ${CMAKE_COMMAND})
  endforeach()

  # The same program through AT-SPI alone, on a session bus of the test's own (dbus-run-session
  # comes with dbus-daemon, which scripts/install-deps installs).
  bh_add_e2e_test(atspi dbus-run-session -- ${BH_PYTHON3} ${BH_E2E_DIR}/run_atspi.py
                  --exe $<TARGET_FILE:brackenholt-config>)
endif()
