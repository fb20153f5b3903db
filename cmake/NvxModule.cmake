# The sources of a unity build of TARGET, in OUT: SOURCES compiled in batches of 16, each batch a
# generated file that includes its sources by their path in the source tree (so that a checkout
# elsewhere compiles the same text: the same cache entries, the same __FILE__), and the sources
# marked SKIP_UNITY_BUILD_INCLUSION on their own.
function(nvx_unity_sources OUT TARGET)
  set(alone)
  set(batched)
  foreach(src IN LISTS ARGN)
    get_source_file_property(skip ${src} SKIP_UNITY_BUILD_INCLUSION)
    if(skip)
      list(APPEND alone ${src})
    else()
      list(APPEND batched ${src})
    endif()
  endforeach()
  set(out ${alone})
  set(index 0)
  set(count 0)
  set(text "")
  list(LENGTH batched total)
  foreach(src IN LISTS batched)
    file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${src})
    string(APPEND text "#include \"${rel}\"\n")
    math(EXPR count "${count} + 1")
    math(EXPR total "${total} - 1")
    if(count EQUAL 16 OR total EQUAL 0)
      set(batch ${CMAKE_CURRENT_BINARY_DIR}/unity/${TARGET}_${index}.cpp)
      file(CONFIGURE OUTPUT ${batch} CONTENT "${text}" @ONLY)
      list(APPEND out ${batch})
      math(EXPR index "${index} + 1")
      set(count 0)
      set(text "")
    endif()
  endforeach()
  set(${OUT} ${out} PARENT_SCOPE)
endfunction()

# The options of a unity build of TARGET.
function(nvx_unity TARGET)
  # A type of a file's anonymous namespace used in a class of that file is fine; GCC only says
  # so when the file is the main file, which a source in a batch is not.
  target_compile_options(${TARGET} PRIVATE -Wno-subobject-linkage)
endfunction()

# nvx_module(NAME
#   [DEPS lib...]          public link dependencies
#   [PRIVATE_DEPS lib...]  private link dependencies (wrapped libraries)
#   [TEST_DEPS lib...]     extra libraries for the test executable
#   [UNITY]                build this folder (library and tests) as a unity build when NVX_UNITY is on
#   [UNITY_TESTS]          only its test executable
#   [UNITY_SKIP file...]   sources (relative to the folder) compiled on their own in a unity
#                          build: their file-local names clash with another file's of the batch
#   [NO_TESTS])
# Declares the static library NAME from the *.cpp files of the current folder (not *Test.cpp and
# not *Bench.cpp), and the test executable NAME_tests from its *Test.cpp files, registered with CTest.
# Sub-folders listed in SUBDIRS are globbed too.
function(nvx_module NAME)
  cmake_parse_arguments(M "UNITY;UNITY_TESTS;NO_TESTS" "" "DEPS;PRIVATE_DEPS;TEST_DEPS;SUBDIRS;UNITY_SKIP" ${ARGN})
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
  set(unity OFF)
  set(unity_tests OFF)
  if(NVX_UNITY AND (M_UNITY OR M_UNITY_TESTS))
    set(unity_tests ON)
    if(M_UNITY)
      set(unity ON)
    endif()
    foreach(src IN LISTS M_UNITY_SKIP)
      set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${src} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endforeach()
  endif()

  if(unity)
    nvx_unity_sources(lib_sources ${NAME} ${lib_sources})
  endif()
  add_library(${NAME} STATIC ${lib_sources})
  target_include_directories(${NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${NAME} PUBLIC ${M_DEPS} PRIVATE ${M_PRIVATE_DEPS})
  target_precompile_headers(${NAME} REUSE_FROM nvx_pch)
  if(unity)
    nvx_unity(${NAME})
  endif()

  if(test_sources AND NOT M_NO_TESTS)
    if(unity_tests)
      nvx_unity_sources(test_sources ${NAME}_tests ${test_sources})
    endif()
    add_executable(${NAME}_tests ${test_sources})
    target_link_libraries(${NAME}_tests PRIVATE ${NAME} ${M_TEST_DEPS} nvx_test_main)
    target_precompile_headers(${NAME}_tests REUSE_FROM nvx_test_pch)
    if(unity_tests)
      nvx_unity(${NAME}_tests)
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
