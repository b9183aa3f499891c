# trelmox_module(<target> SOURCES <files>... [DEPS <targets>...]): a static
# library of the listed files of the current folder, including the project
# root so that headers are addressed as "model/block.h".
function(trelmox_module name)
  cmake_parse_arguments(M "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${M_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${M_DEPS})
endfunction()

# trelmox_core_test(<target> SOURCES <files>... LIBS <targets>...): one
# GoogleTest executable of the listed test files.
function(trelmox_core_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE TRELMOX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
