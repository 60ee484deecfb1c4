# yomira_add_gtest(<target> LABEL <label> SOURCES ... [LIBS ...] [MAIN <file>] [TIMEOUT <s>])
#
# Builds a GoogleTest program under build/tests/ and registers its cases with CTest,
# labelled by the folder they test. The environment points every suite at a private
# data folder and the fixtures in tests/data.
set(YOMIRA_TEST_LABELS platform engine sources png shell windows tools)

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
