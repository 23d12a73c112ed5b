# The program's version, written once: project(Vesperine VERSION ...) in the top-level
# CMakeLists.txt. vesperine_version.h in the build folder gives it to the code, the resources
# and the tests through the vesperine_version target. The fuzz targets' project, which builds
# parts of the tree on its own, reads the same line.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt vesperine_project_line
     REGEX "^project\\(Vesperine VERSION [0-9]+\\.[0-9]+")
if(NOT vesperine_project_line MATCHES "VERSION ([0-9]+)\\.([0-9]+)")
  message(FATAL_ERROR "no project(Vesperine VERSION MAJOR.MINOR ...) in the top-level CMakeLists.txt")
endif()
set(VESPERINE_VERSION_MAJOR ${CMAKE_MATCH_1})
set(VESPERINE_VERSION_MINOR ${CMAKE_MATCH_2})
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${CMAKE_BINARY_DIR}/generated/vesperine_version.h @ONLY)
add_library(vesperine_version INTERFACE)
target_include_directories(vesperine_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
