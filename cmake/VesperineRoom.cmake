# Every folder of src/ has one shape: its portable library from the folder's own .cpp files,
# built on every platform (the native build compiles it on Linux, which proves it portable);
# the native stand-ins of native/ added to it off Windows; and on Windows the Windows library
# from win/, over the portable one.
#   vesperine_room(PORTABLE name [LINKS lib ...]
#                  [WINDOWS name [WINDOWS_LINKS lib ...] [PROGRAM_SOURCES file ...]])
# PROGRAM_SOURCES are files of win/ that the folder's program compiles itself, left out of the
# Windows library.
function(vesperine_room)
  cmake_parse_arguments(R "" "PORTABLE;WINDOWS" "LINKS;WINDOWS_LINKS;PROGRAM_SOURCES" ${ARGN})
  set(here ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB portable_sources CONFIGURE_DEPENDS ${here}/*.cpp)
  if(NOT WIN32)
    file(GLOB native_sources CONFIGURE_DEPENDS ${here}/native/*.cpp)
    list(APPEND portable_sources ${native_sources})
  endif()
  add_library(${R_PORTABLE} STATIC ${portable_sources})
  target_include_directories(${R_PORTABLE} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${R_PORTABLE} PUBLIC ${R_LINKS} PRIVATE vesperine_flags)

  if(WIN32 AND R_WINDOWS)
    file(GLOB windows_sources CONFIGURE_DEPENDS ${here}/win/*.cpp)
    foreach(file IN LISTS R_PROGRAM_SOURCES)
      list(REMOVE_ITEM windows_sources ${here}/win/${file})
    endforeach()
    add_library(${R_WINDOWS} STATIC ${windows_sources})
    target_include_directories(${R_WINDOWS} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${R_WINDOWS} PUBLIC ${R_PORTABLE} ${R_WINDOWS_LINKS}
                          PRIVATE vesperine_flags)
  endif()
endfunction()
