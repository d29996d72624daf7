# Cross-builds the game for 64-bit Windows with Debian's mingw-w64 (posix
# threads). Programs link statically, so velmora.exe needs only the DLLs that
# come with Windows. Libraries built for Windows (libpng, GoogleTest) are found
# under VELMORA_WINDOWS_PREFIX; zlib comes from libz-mingw-w64-dev. Programs
# built here run through tests/windows/wine-run.sh when CTest starts them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLE}-windres)

if(NOT VELMORA_WINDOWS_PREFIX AND DEFINED ENV{VELMORA_WINDOWS_PREFIX})
  set(VELMORA_WINDOWS_PREFIX $ENV{VELMORA_WINDOWS_PREFIX})
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLE} ${VELMORA_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only libraries built for Windows.
set(ENV{PKG_CONFIG_LIBDIR} "${VELMORA_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${VELMORA_MINGW_TRIPLE}/lib/pkgconfig")
unset(ENV{PKG_CONFIG_PATH})

# The static zlib, not the import library of zlib1.dll beside it.
set(ZLIB_LIBRARY /usr/${VELMORA_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "zlib for Windows, static")
set(ZLIB_INCLUDE_DIR /usr/${VELMORA_MINGW_TRIPLE}/include CACHE PATH "zlib headers for Windows")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

get_filename_component(VELMORA_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_SOURCE_ROOT}/tests/windows/wine-run.sh)
