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

# Sanitizer builds carry the leak suppressions for system libraries in every executable.
# The list is cmake/lsan.supp, compiled in so that no environment variable has to carry it.
set(MERO_LSAN_SOURCE "")
if(MERO_SANITIZE)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp lsan_lines REGEX "^leak:")
  set(lsan_text "")
  foreach(line IN LISTS lsan_lines)
    string(APPEND lsan_text "\"${line}\\n\"\n")
  endforeach()
  set(MERO_LSAN_SOURCE ${CMAKE_BINARY_DIR}/lsan_suppressions.cpp)
  file(WRITE ${MERO_LSAN_SOURCE}.new
    "extern \"C\" const char* __lsan_default_suppressions() {\n  return\n${lsan_text}  \"\";\n}\n")
  file(COPY_FILE ${MERO_LSAN_SOURCE}.new ${MERO_LSAN_SOURCE} ONLY_IF_DIFFERENT)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/lsan.supp)
endif()

# mero_program(NAME SOURCES ... [DEPS ...]): an executable of the suite, built into MERO6/.
function(mero_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${MERO_LSAN_SOURCE})
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
  add_executable(${name} ${ARG_SOURCES} ${MERO_LSAN_SOURCE})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MERO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MERO_SUITE_DIR="${MERO_SUITE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
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

# mero_fuzz_target(NAME SOURCES ... [DEPS ...]): a libFuzzer target, built into fuzz/ of the build
# tree (only with MERO_FUZZ, where every library already carries the coverage counters).
function(mero_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
