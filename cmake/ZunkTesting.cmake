# GoogleTest for both builds: the machine's package natively, the same sources built
# with the cross compiler for Windows. Each test program is one CTest entry and writes
# a JUnit-style XML report that the totals line of `make test` is counted from.
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(ZUNK_GTEST gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(ZUNK_GTEST GTest::gtest GTest::gtest_main)
endif()

set(ZUNK_TEST_RESULTS ${CMAKE_BINARY_DIR}/test-results)
file(MAKE_DIRECTORY ${ZUNK_TEST_RESULTS})

# zunk_add_gtest(name SOURCES ... [LIBS ...] [TIMEOUT s])
function(zunk_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${ZUNK_GTEST})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:test-results/${name}.xml
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(ZUNK_TSAN)
    # A data race ends the program, so that it writes no report and counts as failed.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "TSAN_OPTIONS=halt_on_error=1 suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp")
  endif()
endfunction()
