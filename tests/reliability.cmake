# Reliability beyond the C++ tests (random play and saves side by side are with those): memory
# checks, save faults and fuzzing. Labels: "valgrind", "fuzz" and "xvfb" mark the slow or
# tool-bound tests, so the sanitizer build can leave out those that make no sense there
# (make test-sanitize).

# The tests below use tools that an instrumented build cannot run under (valgrind) or that
# bring their own instrumentation (the fuzzer), so only the plain build has them.
if(NOT BH_SANITIZE)
  find_program(BH_VALGRIND valgrind)
  if(BH_VALGRIND)
    add_test(NAME valgrind_start_edit_ok
      COMMAND ${BH_VALGRIND} --tool=memcheck --error-exitcode=99 --leak-check=full
              --show-leak-kinds=definite --errors-for-leak-kinds=definite
              --track-origins=yes --num-callers=30
              --suppressions=${CMAKE_CURRENT_LIST_DIR}/valgrind.supp
              $<TARGET_FILE:test_start_edit_ok>)
    set_tests_properties(valgrind_start_edit_ok PROPERTIES
      ENVIRONMENT "${BH_WIDGET_TEST_ENV}" LABELS valgrind TIMEOUT 600)
  endif()

  # The reader under libFuzzer for half a minute; scripts/run-fuzz builds it with clang.
  add_test(NAME fuzz_config COMMAND ${PROJECT_SOURCE_DIR}/scripts/run-fuzz 30)
  set_tests_properties(fuzz_config PROPERTIES
    ENVIRONMENT "BH_FUZZ_BUILD=${CMAKE_BINARY_DIR}/fuzz" LABELS fuzz TIMEOUT 600
    SKIP_RETURN_CODE 77)

  # Saves that cannot complete, and two copies pressing OK, on the real program in Xvfb with
  # the end-to-end driver. A save that fails while committing needs a failure injected there:
  # fail_rename is preloaded into the program for that case only.
  add_library(bh_fail_rename MODULE ${CMAKE_CURRENT_LIST_DIR}/fail_rename.cpp)
  target_link_libraries(bh_fail_rename PRIVATE ${CMAKE_DL_LIBS} bh_warnings)
  bh_add_pytest(save_faults ${CMAKE_CURRENT_LIST_DIR}/test_save_faults.py -k "not wine"
                --exe $<TARGET_FILE:brackenholt-config> --fail-rename $<TARGET_FILE:bh_fail_rename>)
  set_tests_properties(save_faults PROPERTIES LABELS xvfb TIMEOUT 600)
endif()
