# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
# The Windows build's tests run under Wine (wine-run), in a Wine prefix of the build's own that
# the first test makes. Each run starts Wine's server for that prefix afresh, so the tests that
# use Wine take turns.

# Debian ships GoogleTest for the build machine only; build it from its source for Windows.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Wine sees the build machine's / as drive Z:.
get_target_property(bh_qt_core Qt6::Core LOCATION)
get_filename_component(bh_qt_bin "${bh_qt_core}" DIRECTORY)
list(TRANSFORM bh_mingw_dirs PREPEND "Z:" OUTPUT_VARIABLE bh_dirs)
list(JOIN bh_dirs ";" BH_BUILD_DLL_PATH)
string(APPEND BH_BUILD_DLL_PATH ";Z:${bh_qt_bin}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(BH_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
# add_test runs every test program of this folder through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${BH_WINE_RUN} --build-dlls)

add_test(NAME wine_prefix COMMAND ${BH_WINE_RUN} --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wine TIMEOUT 300)

# The tests after the unit tests: the settings-file tests are marked as run under Wine, and the
# end-to-end scenarios of the wine group play the game folder unpacked from the .zip.
function(bh_add_windows_tests)
  set_tests_properties(config config_file PROPERTIES
    FIXTURES_REQUIRED wine RESOURCE_LOCK wine LABELS wine)

  add_test(NAME window_layout_json COMMAND write_window_layout ${BH_WINDOW_LAYOUT_JSON})
  set_tests_properties(window_layout_json PROPERTIES
    FIXTURES_SETUP window_layout FIXTURES_REQUIRED wine RESOURCE_LOCK wine LABELS wine)

  # The folder as `cmake --install` lays it out, over a player's settings too, as on Linux.
  bh_add_pytest(install_layout ${bh_install_tests}/test_install_layout.py ${bh_install_args}
                --windows --game-folder ${BH_GAME_FOLDER})
  set_tests_properties(install_layout PROPERTIES FIXTURES_REQUIRED game_folder TIMEOUT 300)

  # Unpacked afresh each time, so a DLL the .zip lost cannot linger from an earlier one.
  set(zip ${BH_WINDOWS_ZIP})
  set(unpacked ${PROJECT_BINARY_DIR}/unpacked)
  add_test(NAME windows_zip_unpacked
           COMMAND sh -c "rm -rf '${unpacked}' && mkdir '${unpacked}' && cd '${unpacked}' \
                          && '${CMAKE_COMMAND}' -E tar xf '${zip}'")
  set_tests_properties(windows_zip_unpacked PROPERTIES FIXTURES_SETUP windows_folder)

  bh_add_pytest(e2e_wine ${CMAKE_CURRENT_SOURCE_DIR}/e2e/test_e2e.py --group wine
                --exe ${unpacked}/${BH_WINDOWS_FOLDER}/brackenholt-config.exe --whole-folder
                --session wine --launcher ${BH_WINE_RUN}
                --keep ${CMAKE_CURRENT_BINARY_DIR}/e2e-failures)
  set_tests_properties(e2e_wine PROPERTIES
    FIXTURES_REQUIRED "wine;windows_folder" RESOURCE_LOCK wine LABELS "e2e;wine" TIMEOUT 600)

  # Saves under Wine that meet bh.cfg open in another program or hidden; file_helper is that
  # other program (static, so it needs no DLLs), Wine's attrib hides the file.
  add_executable(file_helper ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/file_helper.cpp)
  target_link_options(file_helper PRIVATE -municode -static)
  target_link_libraries(file_helper PRIVATE bh_warnings)
  bh_add_pytest(save_faults_wine ${CMAKE_CURRENT_SOURCE_DIR}/test_save_faults.py -k wine
                --exe ${unpacked}/${BH_WINDOWS_FOLDER}/brackenholt-config.exe --session wine
                --launcher ${BH_WINE_RUN} --helper $<TARGET_FILE:file_helper>)
  set_tests_properties(save_faults_wine PROPERTIES
    FIXTURES_REQUIRED "wine;windows_folder" RESOURCE_LOCK wine LABELS "e2e;wine" TIMEOUT 300)
endfunction()
