# trelmox_public_headers(<target> <header>...): the target's include root,
# a folder of the build that holds links to the listed headers of the
# current source folder under the folder's path from the project root. The
# target and whatever links it include them as "analysis/wedge.h"; a header
# of a library the target does not link is not there, so an include that
# runs up a layer (analysis including cli/, say) fails to build instead of
# quietly tying the layers together.
function(trelmox_public_headers name)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${PROJECT_BINARY_DIR}/include/${name})
  # Afresh at every configure: a header taken off the list is gone too.
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${ARGN})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      message(FATAL_ERROR "${name}: no header ${folder}/${header}")
    endif()
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${name} PUBLIC ${root})
endfunction()

# trelmox_module(<target> SOURCES <files>... HEADERS <headers>... [DEPS <targets>...]):
# a static library of the listed files of the current folder, its headers
# public as trelmox_public_headers makes them.
function(trelmox_module name)
  cmake_parse_arguments(M "" "" "SOURCES;HEADERS;DEPS" ${ARGN})
  add_library(${name} STATIC ${M_SOURCES} ${M_HEADERS})
  trelmox_public_headers(${name} ${M_HEADERS})
  target_link_libraries(${name} PUBLIC ${M_DEPS})
endfunction()

# trelmox_qt_module(<target> <sources and headers>...): the same for a
# library of Qt classes, whose headers are among its sources for moc.
function(trelmox_qt_module name)
  add_library(${name} STATIC ${ARGN})
  set(headers ${ARGN})
  list(FILTER headers INCLUDE REGEX "\\.h$")
  trelmox_public_headers(${name} ${headers})
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
