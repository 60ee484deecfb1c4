# yomira_add_gtest(<target> LABEL <label> SOURCES ... [LIBS ...] [MAIN <file>] [TIMEOUT <s>])
#
# Builds a GoogleTest program under build/tests/ and registers its cases with CTest,
# labelled by the folder they test. The environment points every suite at a private
# data folder and the fixtures in tests/data.
set(YOMIRA_TEST_LABELS platform engine sources png ui shell windows tools)

function(yomira_add_gtest target)
  cmake_parse_arguments(ARG "" "LABEL;MAIN;TIMEOUT" "SOURCES;LIBS;EXTRA_LABELS" ${ARGN})
  if(NOT ARG_LABEL)
    message(FATAL_ERROR "yomira_add_gtest(${target}): LABEL is required")
  endif()
  if(NOT ARG_LABEL IN_LIST YOMIRA_TEST_LABELS)
    message(FATAL_ERROR "yomira_add_gtest(${target}): unknown label '${ARG_LABEL}' "
                        "(one of: ${YOMIRA_TEST_LABELS})")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${target} ${ARG_SOURCES} ${ARG_MAIN})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${YOMIRA_TEST_BIN_DIR})
  target_link_libraries(${target} PRIVATE test_support ${ARG_LIBS})
  if(ARG_MAIN)
    target_link_libraries(${target} PRIVATE GTest::gtest)
  else()
    target_link_libraries(${target} PRIVATE GTest::gtest_main)
  endif()
  set(_labels ${ARG_LABEL} ${ARG_EXTRA_LABELS})
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES
      LABELS "${_labels}"
      TIMEOUT ${ARG_TIMEOUT}
      ENVIRONMENT "YOMIRA_HOME=${CMAKE_BINARY_DIR}/test-home;QT_QPA_PLATFORM=offscreen;YOMIRA_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
endfunction()

# yomira_add_e2e(<name> <script>): an end-to-end check under its own Xvfb, labelled shell
# and e2e; exit 77 (a missing tool) counts as skipped. The checks run one at a time: they
# wait for real windows and real key events, which a machine busy with other tests delays
# past their limits.
function(yomira_add_e2e name script)
  add_test(NAME e2e_${name} COMMAND bash ${script})
  set_tests_properties(e2e_${name} PROPERTIES
    LABELS "shell;e2e"
    SKIP_RETURN_CODE 77
    RUN_SERIAL TRUE
    TIMEOUT 300
    ENVIRONMENT "YOMIRA_BIN=${CMAKE_BINARY_DIR}/yomira;GALLERY_BIN=${CMAKE_BINARY_DIR}/windows_gallery;E2E_SHOTS=${CMAKE_BINARY_DIR}/e2e-shots")
endfunction()
