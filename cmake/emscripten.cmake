# Builds the game for the browser with Debian's emscripten. zlib and libpng,
# built for the web from Debian's sources (scripts/build-web-libs.sh), are
# found under VELMORA_WEB_PREFIX.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

if(NOT VELMORA_WEB_PREFIX AND DEFINED ENV{VELMORA_WEB_PREFIX})
  set(VELMORA_WEB_PREFIX $ENV{VELMORA_WEB_PREFIX})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WEB_PREFIX)
list(APPEND CMAKE_FIND_ROOT_PATH ${VELMORA_WEB_PREFIX})

set(ZLIB_LIBRARY ${VELMORA_WEB_PREFIX}/lib/libz.a CACHE FILEPATH "zlib for the web, static")
set(ZLIB_INCLUDE_DIR ${VELMORA_WEB_PREFIX}/include CACHE PATH "zlib headers for the web")
