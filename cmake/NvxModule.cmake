# nvx_module(NAME
#   [DEPS lib...]          public link dependencies
#   [PRIVATE_DEPS lib...]  private link dependencies (wrapped libraries)
#   [TEST_DEPS lib...]     extra libraries for the test executable
#   [UNITY]                build this folder as a unity build when NVX_UNITY is on
#   [NO_TESTS])
# Declares the static library NAME from the *.cpp files of the current folder (not *Test.cpp and
# not *Bench.cpp), and the test executable NAME_tests from its *Test.cpp files, registered with CTest.
# Sub-folders listed in SUBDIRS are globbed too.
function(nvx_module NAME)
  cmake_parse_arguments(M "UNITY;NO_TESTS" "" "DEPS;PRIVATE_DEPS;TEST_DEPS;SUBDIRS" ${ARGN})
  set(globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(sub IN LISTS M_SUBDIRS)
    list(APPEND globs ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  endforeach()
  file(GLOB all_sources CONFIGURE_DEPENDS ${globs})
  set(lib_sources)
  set(test_sources)
  foreach(src IN LISTS all_sources)
    if(src MATCHES "Test\\.cpp$")
      list(APPEND test_sources ${src})
    elseif(src MATCHES "Bench\\.cpp$")
    else()
      list(APPEND lib_sources ${src})
    endif()
  endforeach()

  if(NOT lib_sources)
    # A folder whose first sources are still to come: an interface library keeps the graph whole.
    add_library(${NAME} INTERFACE)
    target_include_directories(${NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${NAME} INTERFACE ${M_DEPS})
    return()
  endif()
  add_library(${NAME} STATIC ${lib_sources})
  target_include_directories(${NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${NAME} PUBLIC ${M_DEPS} PRIVATE ${M_PRIVATE_DEPS})
  target_precompile_headers(${NAME} REUSE_FROM nvx_pch)
  if(M_UNITY AND NVX_UNITY)
    set_target_properties(${NAME} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 16)
  endif()

  if(test_sources AND NOT M_NO_TESTS)
    add_executable(${NAME}_tests ${test_sources})
    target_link_libraries(${NAME}_tests PRIVATE ${NAME} ${M_TEST_DEPS} nvx_test_main)
    target_precompile_headers(${NAME}_tests REUSE_FROM nvx_test_pch)
    if(M_UNITY AND NVX_UNITY)
      set_target_properties(${NAME}_tests PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 16)
    endif()
    gtest_discover_tests(${NAME}_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 300)
  endif()
endfunction()

# nvx_bench(NAME SOURCES... DEPS ...): a Google Benchmark executable (not a test).
function(nvx_bench NAME)
  cmake_parse_arguments(B "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT NVX_BENCH)
    return()
  endif()
  add_executable(${NAME} ${B_SOURCES})
  target_link_libraries(${NAME} PRIVATE ${B_DEPS} benchmark::benchmark)
endfunction()
