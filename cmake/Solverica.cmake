# Helpers shared by the build: one static library per source folder, found by glob
# so that adding a file needs no edit here.

# solverica_library(name "dir;dir..." deps...): a static library from every .cpp
# under the folders, except main.cpp. It exports its own folders and nothing else,
# and links only the libraries below it; deps after PRIVATE (the system libraries a
# platform piece is built on) stay inside it, so their headers reach no one above.
function(solverica_library name dirs)
  set(sources)
  foreach(dir IN LISTS dirs)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(FILTER found EXCLUDE REGEX "/main\\.cpp$")
    list(APPEND sources ${found})
  endforeach()
  add_library(${name} STATIC ${sources} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  foreach(dir IN LISTS dirs)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/${dir})
  endforeach()
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# solverica_test(name SOURCES files... LIBS libs... [PROPERTIES prop value...]): a
# GoogleTest program run by ctest; PROPERTIES are set on each of its tests.
function(solverica_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  # A test sits above every layer and names headers from the source root ("engine/mesh.h").
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  target_compile_options(${name} PRIVATE -Werror)
  # The test entry chooses the headless video and silent sound drivers itself.
  if(SOLVERICA_SANITIZE)
    # One process per program: the sanitizers' start-up and LeakSanitizer's scan of the
    # drivers' heaps at exit cost seconds a process, more than most tests themselves.
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    if(T_PROPERTIES)
      set_tests_properties(${name} PROPERTIES ${T_PROPERTIES})
    endif()
  else()
    set(properties)
    if(T_PROPERTIES)
      set(properties PROPERTIES ${T_PROPERTIES})
    endif()
    gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60 ${properties})
  endif()
endfunction()

# solverica_fuzz(name SOURCES files... LIBS libs...): a libFuzzer target, built only
# with SOLVERICA_FUZZ=ON under clang (tools/fuzz.sh makes that build).
function(solverica_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT SOLVERICA_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  # tools/fuzz.sh runs every target from the build root, with corpus/<target> beside it.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  set_property(GLOBAL APPEND PROPERTY SOLVERICA_FUZZ_TARGETS ${name})
endfunction()
