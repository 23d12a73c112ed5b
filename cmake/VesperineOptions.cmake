option(VESPERINE_BUILD_TESTS "Build the unit tests" ON)
option(VESPERINE_SANITIZE "Build with AddressSanitizer and UBSan (native only)" OFF)

# Flags every target of ours gets; third-party code is built without them.
add_library(vesperine_flags INTERFACE)
target_compile_options(vesperine_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wno-missing-field-initializers)
# No fused multiply-add, so the native and the Windows builds round alike.
target_compile_options(vesperine_flags INTERFACE -ffp-contract=off)

if(WIN32)
  # SSE2 doubles on i686 give the same results as x86-64; x87 would round differently.
  add_compile_options(-msse2 -mfpmath=sse)
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
endif()

if(VESPERINE_SANITIZE AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
