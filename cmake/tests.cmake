# cobalt_add_test(name SOURCES a.cpp ... LIBS lib ...)
# One test program; natively every case is its own CTest test, under Wine the
# program is one test (each Wine start costs a fraction of a second).
function(cobalt_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE COBALT_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600
                         ENVIRONMENT "COBALT_WINE_DIR=${COBALT_WINE_DIR}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
