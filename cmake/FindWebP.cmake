# libwebp and libwebpdemux (and libwebpmux, which the tests use to write samples), found
# the same way natively and under the MinGW find root; Debian's libwebp-dev ships no
# CMake package. Defines WebP::webp, WebP::webpdemux and WebP::webpmux.
find_path(WebP_INCLUDE_DIR webp/decode.h)
find_library(WebP_LIBRARY webp)
find_library(WebP_DEMUX_LIBRARY webpdemux)
find_library(WebP_MUX_LIBRARY webpmux)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(WebP
  REQUIRED_VARS WebP_LIBRARY WebP_DEMUX_LIBRARY WebP_MUX_LIBRARY WebP_INCLUDE_DIR)

if(WebP_FOUND AND NOT TARGET WebP::webp)
  add_library(WebP::webp UNKNOWN IMPORTED)
  set_target_properties(WebP::webp PROPERTIES IMPORTED_LOCATION ${WebP_LIBRARY}
                        INTERFACE_INCLUDE_DIRECTORIES ${WebP_INCLUDE_DIR})
  # The demuxer and the muxer call into libwebp, so a static link lists them first.
  foreach(part DEMUX MUX)
    string(TOLOWER ${part} name)
    add_library(WebP::webp${name} UNKNOWN IMPORTED)
    set_target_properties(WebP::webp${name} PROPERTIES IMPORTED_LOCATION ${WebP_${part}_LIBRARY}
                          INTERFACE_LINK_LIBRARIES WebP::webp)
  endforeach()
endif()
