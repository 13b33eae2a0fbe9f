# Small helpers so each module's CMakeLists.txt stays a few lines long.

# mero_library(NAME SOURCES a.cpp b.cpp [DEPS lib ...])
function(mero_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# mero_program(NAME SOURCES ... [DEPS ...]): an executable of the suite, built into MERO6/.
function(mero_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${MERO_SUITE_DIR})
endfunction()

# mero_test(NAME SOURCES ... [DEPS ...]): a GoogleTest executable registered with ctest.
# Tests run headless: Qt uses the offscreen platform unless a test sets its own display.
function(mero_test name)
  if(NOT MERO_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MERO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MERO_SUITE_DIR="${MERO_SUITE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp")
endfunction()

# mero_bench(NAME SOURCES ... [DEPS ...]): a benchmark executable, built into bench/ of the build tree.
function(mero_bench name)
  if(NOT MERO_BENCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  # A build limited with MERO_ONLY may lack the module a benchmark measures: leave it out then.
  foreach(dep IN LISTS ARG_DEPS)
    if(dep MATCHES "^mero_" AND NOT TARGET ${dep})
      return()
    endif()
  endforeach()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_definitions(${name} PRIVATE
    MERO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MERO_SUITE_DIR="${MERO_SUITE_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
