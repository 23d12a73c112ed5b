# The libraries built from Debian's sources, in one place: where their sources are unpacked in
# the setup's cache and the options they are configured with. scripts/setup cross-builds them
# for MinGW; scripts/fuzz builds giflib, libtiff and libwebp again, instrumented, for the fuzz
# targets. Each build adds what is its own (static zlib and no threads for MinGW, the
# sanitizer flags for fuzzing); a build's stamp holds its options, so a change here builds
# it again. Sourced after env.sh, not run.
LIBPNG_SOURCE=$VESPERINE_CACHE/src-libpng
LIBJPEG_TURBO_SOURCE=$VESPERINE_CACHE/src-libjpeg-turbo
GIFLIB_SOURCE=$VESPERINE_CACHE/src-giflib
# giflib ships a plain Makefile; scripts/setup writes a CMake project for its library here.
GIFLIB_PROJECT=$VESPERINE_CACHE/cmake-giflib
LIBTIFF_SOURCE=$VESPERINE_CACHE/src-tiff
LIBWEBP_SOURCE=$VESPERINE_CACHE/src-libwebp

LIBPNG_OPTIONS=(-DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF)
LIBJPEG_TURBO_OPTIONS=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF)
# Only zlib and libjpeg behind libtiff's codecs. After -DBUILD_SHARED_LIBS=OFF and a build's own.
LIBTIFF_OPTIONS=(
  -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF -Dzlib=ON
  -Djpeg=ON -Dold-jpeg=OFF -Djpeg12=OFF -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF
  -Dlibdeflate=OFF -Dpixarlog=OFF
)
# The library alone, none of its programs. After -DBUILD_SHARED_LIBS=OFF and a build's own.
LIBWEBP_OPTIONS=(
  -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF
  -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF
  -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF
)
