# End-to-end tests of the real vesperine.scr under wine, one binary per area. They share
# the registry key and the screen, so they never run in parallel with each other. The run's
# start-and-end rows allow the close the first frame each timed in its own run, so a busy
# machine stretches limit and close alike: they need no machine to themselves.
foreach(area run preview)
  vesperine_unit_test(NAME host_${area}_tests LANE host-direct3d
    SOURCES host_${area}_test.cpp
    LIBS vesperine_harness
    TIMEOUT 600)
  add_dependencies(host_${area}_tests vesperine_scr)
  set_tests_properties(host_${area}_tests PROPERTIES RUN_SERIAL TRUE)
endforeach()

# Every way out of the real program, timed against a trivial window program's teardown.
add_executable(trivial_window WIN32 trivial_window.cpp)
target_link_libraries(trivial_window PRIVATE user32 gdi32 vesperine_flags)
target_link_options(trivial_window PRIVATE -mwindows)
vesperine_unit_test(NAME host_close_tests LANE measures
  SOURCES close_matrix_test.cpp
  LIBS vesperine_harness
  TIMEOUT 900)
target_compile_definitions(host_close_tests PRIVATE
  TRIVIAL_WINDOW_PATH="$<TARGET_FILE:trivial_window>")
add_dependencies(host_close_tests vesperine_scr trivial_window)
set_tests_properties(host_close_tests PROPERTIES RUN_SERIAL TRUE)

# The host window in process: the display notices.
vesperine_unit_test(NAME host_power_test LANE host-direct3d
  SOURCES host_power_test.cpp
  LIBS vesperine_host vesperine_harness)

# The run over two monitors: only in scripts/test's two-monitor stage, which starts an X
# server with two outputs for it (label two-monitors).
vesperine_unit_test(NAME host_monitors_tests LANE two-monitors
  SOURCES monitors_test.cpp
  LIBS vesperine_harness
  TIMEOUT 600)
add_dependencies(host_monitors_tests vesperine_scr)
set_tests_properties(host_monitors_tests PROPERTIES RUN_SERIAL TRUE)

# Pictures in the new formats and an Exif portrait under each driver, with the image
# tests' own writers.
find_package(WebP REQUIRED)
vesperine_unit_test(NAME host_formats_tests LANE rest
  SOURCES formats_test.cpp ${PROJECT_SOURCE_DIR}/tests/image/sample_pictures.cpp
          ${PROJECT_SOURCE_DIR}/tests/image/sample_formats.cpp
  LIBS vesperine_harness vesperine_image WebP::webpmux
  TIMEOUT 600)
target_include_directories(host_formats_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(host_formats_tests vesperine_scr)
set_tests_properties(host_formats_tests PROPERTIES RUN_SERIAL TRUE)

# The program on a display scaled to 150 %: only in scripts/test's dpi stage, which sets
# LogPixels 144 in the prefix for it (label dpi144).
vesperine_unit_test(NAME host_dpi_tests LANE dpi144
  SOURCES dpi_test.cpp
  LIBS vesperine_harness vesperine_dialog_core
  TIMEOUT 300)
add_dependencies(host_dpi_tests vesperine_scr)
set_tests_properties(host_dpi_tests PROPERTIES RUN_SERIAL TRUE)

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
vesperine_unit_test(NAME host_password_tests LANE win98
  SOURCES password_test.cpp
  LIBS vesperine_harness
  TIMEOUT 600)
target_compile_definitions(host_password_tests PRIVATE
  STANDINS_PLAIN_DIR="${CMAKE_CURRENT_BINARY_DIR}/standins-plain"
  STANDINS_DECORATED_DIR="${CMAKE_CURRENT_BINARY_DIR}/standins-decorated")
add_dependencies(host_password_tests vesperine_scr password_standin_plain
  password_standin_decorated mpr_standin_plain mpr_standin_decorated)
set_tests_properties(host_password_tests PROPERTIES RUN_SERIAL TRUE)

# A PC where Direct3D cannot draw: the real program with Wine's Direct3D off and without
# ddraw.dll, and in process, with the program's own start-up, a display lost for good. In a
# lane of its own (label fallback): a row turns Wine's Direct3D off for the whole prefix.
vesperine_unit_test(NAME host_fallback_tests LANE fallback
  SOURCES fallback_test.cpp ${PROJECT_SOURCE_DIR}/src/host/win/bubble_saver.cpp
  LIBS vesperine_harness vesperine_host vesperine_settings_win vesperine_directdraw
       vesperine_gdiplus_scene vesperine_gdiplus vesperine_settings_dialog vesperine_world
       vesperine_world_win vesperine_resources
  TIMEOUT 600)
add_dependencies(host_fallback_tests vesperine_scr)
set_tests_properties(host_fallback_tests PROPERTIES RUN_SERIAL TRUE)

# A picture's proportions under each driver and the preview on a 16:9 screen: only in the
# lane at 1920 x 1080.
vesperine_unit_test(NAME host_picture_shape_tests LANE fullhd
  SOURCES picture_shape_test.cpp
  LIBS vesperine_harness vesperine_image
  TIMEOUT 600)
add_dependencies(host_picture_shape_tests vesperine_scr)
set_tests_properties(host_picture_shape_tests PROPERTIES RUN_SERIAL TRUE)
