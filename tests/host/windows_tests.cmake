# The framework's Windows layer and the wind's timers on it, in process under wine.
vesperine_unit_test(NAME framework_win_tests
  SOURCES framework_timer_test.cpp framework_form_test.cpp
  LIBS vesperine_framework vesperine_world vesperine_test_support)

# End-to-end tests of the real vesperine.scr under wine, one binary per area. They share
# the registry key and the screen, so they never run in parallel with each other.
# The run's start-and-end rows allow the close the time the machine took for a first frame:
# they carry the label measures, which scripts/test runs with nothing beside it, and the
# run's other cases are a test of their own.
set(timed_by_the_frame "*RunWithSetting.StartsAndEndsCleanly*")
foreach(area run preview)
  if(area STREQUAL run)
    set(area_args ARGS --gtest_filter=${timed_by_the_frame})
  else()
    set(area_args)
  endif()
  vesperine_unit_test(NAME host_${area}_tests
    SOURCES host_${area}_test.cpp
    LIBS vesperine_harness
    ${area_args}
    TIMEOUT 600)
  add_dependencies(host_${area}_tests vesperine_scr)
  set_tests_properties(host_${area}_tests PROPERTIES RUN_SERIAL TRUE)
endforeach()
set_tests_properties(host_run_tests PROPERTIES LABELS "windows;measures")
add_test(NAME host_run_untimed_tests COMMAND host_run_tests --gtest_filter=-${timed_by_the_frame})
set_tests_properties(host_run_untimed_tests PROPERTIES TIMEOUT 600 LABELS windows)

# Every way out of the real program, timed against a trivial window program's teardown.
add_executable(trivial_window WIN32 trivial_window.cpp)
target_link_libraries(trivial_window PRIVATE user32 gdi32 vesperine_flags)
target_link_options(trivial_window PRIVATE -mwindows)
vesperine_unit_test(NAME host_close_tests
  SOURCES close_matrix_test.cpp
  LIBS vesperine_harness
  TIMEOUT 900)
target_compile_definitions(host_close_tests PRIVATE
  TRIVIAL_WINDOW_PATH="$<TARGET_FILE:trivial_window>")
add_dependencies(host_close_tests vesperine_scr trivial_window)
set_tests_properties(host_close_tests PROPERTIES RUN_SERIAL TRUE LABELS "windows;measures")

# The host window in process: the display notices.
vesperine_unit_test(NAME host_power_test
  SOURCES host_power_test.cpp
  LIBS vesperine_host vesperine_harness)

# The run over two monitors: only in scripts/test's two-monitor stage, which starts an X
# server with two outputs for it (label two-monitors).
vesperine_unit_test(NAME host_monitors_tests
  SOURCES monitors_test.cpp
  LIBS vesperine_harness
  TIMEOUT 600)
add_dependencies(host_monitors_tests vesperine_scr)
set_tests_properties(host_monitors_tests PROPERTIES RUN_SERIAL TRUE LABELS two-monitors)

# Pictures in the new formats and an Exif portrait under each driver, with the image
# tests' own writers.
find_package(WebP REQUIRED)
vesperine_unit_test(NAME host_formats_tests
  SOURCES formats_test.cpp ${PROJECT_SOURCE_DIR}/tests/image/sample_pictures.cpp
          ${PROJECT_SOURCE_DIR}/tests/image/sample_formats.cpp
  LIBS vesperine_harness vesperine_image WebP::webpmux
  TIMEOUT 600)
target_include_directories(host_formats_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(host_formats_tests vesperine_scr)
set_tests_properties(host_formats_tests PROPERTIES RUN_SERIAL TRUE)

# The program on a display scaled to 150 %: only in scripts/test's dpi stage, which sets
# LogPixels 144 in the prefix for it (label dpi144).
vesperine_unit_test(NAME host_dpi_tests
  SOURCES dpi_test.cpp
  LIBS vesperine_harness vesperine_dialog_core
  TIMEOUT 300)
add_dependencies(host_dpi_tests vesperine_scr)
set_tests_properties(host_dpi_tests PROPERTIES RUN_SERIAL TRUE LABELS dpi144)

# Stand-ins for the Windows 95/98/Me password libraries, built with the tests and never
# shipped. Each is built twice: with undecorated export names, as the platform's own, and
# with the compiler's decorated ones ("VerifyScreenSavePwd@4"), which a look-up by the plain
# name cannot find: a library without the export.
function(vesperine_standin name file suffix)
  foreach(variant plain decorated)
    set(target ${name}_${variant})
    add_library(${target} MODULE standins/${name}.cpp)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${file}
      SUFFIX ${suffix} LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/standins-${variant}
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/standins-${variant})
    target_link_libraries(${target} PRIVATE user32 vesperine_flags)
    if(variant STREQUAL plain)
      target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
  endforeach()
endfunction()
vesperine_standin(password_standin password .cpl)
vesperine_standin(mpr_standin mpr .dll)

# The password road as a Windows 98 user meets it: only in scripts/test's Windows 98 stage,
# whose prefix copy takes the stand-ins into its system folder (label win98).
vesperine_unit_test(NAME host_password_tests
  SOURCES password_test.cpp
  LIBS vesperine_harness
  TIMEOUT 600)
target_compile_definitions(host_password_tests PRIVATE
  STANDINS_PLAIN_DIR="${CMAKE_CURRENT_BINARY_DIR}/standins-plain"
  STANDINS_DECORATED_DIR="${CMAKE_CURRENT_BINARY_DIR}/standins-decorated")
add_dependencies(host_password_tests vesperine_scr password_standin_plain
  password_standin_decorated mpr_standin_plain mpr_standin_decorated)
set_tests_properties(host_password_tests PROPERTIES RUN_SERIAL TRUE LABELS win98)

# A picture's proportions under each driver and the preview on a 16:9 screen: only in
# scripts/test's lane at 1920 x 1080 (label fullhd).
vesperine_unit_test(NAME host_picture_shape_tests
  SOURCES picture_shape_test.cpp
  LIBS vesperine_harness vesperine_image
  TIMEOUT 600)
add_dependencies(host_picture_shape_tests vesperine_scr)
set_tests_properties(host_picture_shape_tests PROPERTIES RUN_SERIAL TRUE LABELS fullhd)
