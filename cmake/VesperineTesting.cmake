# vesperine_unit_test(NAME name LANE lane SOURCES a.cpp ... LIBS lib ... [ARGS arg ...])
# Natively each GoogleTest case becomes a ctest test; in the Windows build the whole
# binary is one ctest test run under the cross-compiling emulator (wine), because
# discovering the cases would start wine once per case.
if(VESPERINE_BUILD_TESTS)
  enable_testing()
  if(WIN32)
    if(NOT TARGET gtest)
      set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
      # Like the tests themselves (tests/CMakeLists.txt): quicker to build, and never debugged.
      target_compile_options(gtest PRIVATE -g0 -O1)
      target_compile_options(gtest_main PRIVATE -g0 -O1)
    endif()
    set(VESPERINE_GTEST_MAIN gtest_main)
    set(VESPERINE_GTEST gtest)
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
    set(VESPERINE_GTEST_MAIN GTest::gtest_main)
    set(VESPERINE_GTEST GTest::gtest)
  endif()
endif()

# The lanes the Windows tests run in (scripts/lanes.sh gives each its screen, prefix and
# set-up; `scripts/lane NAME` runs one). Every Windows test names one as its ctest label.
set(VESPERINE_WINDOWS_LANES measures hostile host-direct3d gdi-scene dialogs rest fallback dpi144
    win98 two-monitors package fullhd)

# A Windows test of a command line of its own: vesperine_windows_test(NAME name LANE lane
# [TIMEOUT s] COMMAND program args...).
function(vesperine_windows_test)
  cmake_parse_arguments(T "" "NAME;LANE;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT T_LANE IN_LIST VESPERINE_WINDOWS_LANES)
    message(FATAL_ERROR "Windows test ${T_NAME} names no lane of: ${VESPERINE_WINDOWS_LANES}")
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "windows;${T_LANE}")
  # A deferred call reads its arguments when it runs: the name goes in as text.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL vesperine_check_lane [[${T_NAME}]])")
endfunction()

# Fails the configure step where a Windows test has not exactly one lane among its labels at
# the end of its folder (a label set by hand after the test was made replaces the lane).
function(vesperine_check_lane test)
  get_test_property(${test} LABELS labels)
  set(lanes "")
  foreach(label IN LISTS labels)
    if(label IN_LIST VESPERINE_WINDOWS_LANES)
      list(APPEND lanes ${label})
    endif()
  endforeach()
  list(LENGTH lanes count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "Windows test ${test} has the lanes '${lanes}': it needs exactly one of "
                        "${VESPERINE_WINDOWS_LANES}")
  endif()
endfunction()

function(vesperine_unit_test)
  cmake_parse_arguments(T "NO_MAIN" "NAME;LANE;TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
  if(NOT VESPERINE_BUILD_TESTS)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${VESPERINE_GTEST} vesperine_flags)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${VESPERINE_GTEST_MAIN} vesperine_flags)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    VESPERINE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(TARGET vesperine_test_pch)
    target_precompile_headers(${T_NAME} REUSE_FROM vesperine_test_pch)
  endif()
  if(WIN32)
    vesperine_windows_test(NAME ${T_NAME} LANE "${T_LANE}" TIMEOUT ${T_TIMEOUT}
                           COMMAND ${T_NAME} ${T_ARGS})
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS native)
  endif()
endfunction()
