# vesperine.scr, included from the host folder's CMakeLists.txt with its program_sources.
# A GUI PE32 program named vesperine.scr at the top of the build folder. The two full-screen
# drivers and the dialog are reached through their tables (drivers/win/driver_table.h), and every
# library is linked: one that is missing fails the configure step.
list(TRANSFORM program_sources PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
add_executable(vesperine_scr WIN32 ${program_sources})
set_target_properties(vesperine_scr PROPERTIES
  OUTPUT_NAME vesperine
  SUFFIX .scr
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
  LINK_LIBRARIES_ONLY_TARGETS ON)
target_link_libraries(vesperine_scr PRIVATE
  vesperine_host vesperine_settings_win vesperine_gdiplus vesperine_world vesperine_world_win
  vesperine_directdraw vesperine_gdiplus_scene vesperine_settings_dialog
  vesperine_resources vesperine_flags)
# The link map names every library the linker took code from: the release's notices are
# checked against it.
target_link_options(vesperine_scr PRIVATE -mwindows -Wl,-Map=${CMAKE_BINARY_DIR}/vesperine.map)
