# The Windows host and vesperine.scr, included from this folder's CMakeLists.txt.
add_library(vesperine_host STATIC screen_saver.cpp run_reports.cpp)
target_include_directories(vesperine_host PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vesperine_host PUBLIC vesperine_host_core vesperine_framework user32 advapi32
                      PRIVATE vesperine_flags)

# A GUI PE32 program named vesperine.scr at the top of the build folder. The two full-screen
# drivers and the dialog are reached through their tables (drivers/driver_table.h), and every
# library is linked: one that is missing fails the configure step.
add_executable(vesperine_scr WIN32 main.cpp bubble_saver.cpp tick_count64.cpp)
set_target_properties(vesperine_scr PROPERTIES
  OUTPUT_NAME vesperine
  SUFFIX .scr
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  LINK_LIBRARIES_ONLY_TARGETS ON)
target_link_libraries(vesperine_scr PRIVATE
  vesperine_host vesperine_settings_win vesperine_gdiplus vesperine_world
  vesperine_directdraw vesperine_gdiplus_scene vesperine_settings_dialog
  vesperine_resources vesperine_flags)
# The link map names every library the linker took code from: the release's notices are
# checked against it.
target_link_options(vesperine_scr PRIVATE -mwindows -Wl,-Map=${CMAKE_BINARY_DIR}/vesperine.map)
