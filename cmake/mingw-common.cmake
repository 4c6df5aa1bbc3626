# Shared by the MinGW-w64 toolchain files, which set MINGW_PREFIX and
# CMAKE_SYSTEM_PROCESSOR first (posix thread model, static runtime).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# zlib1.dll from Debian's libz-mingw-w64, shipped beside the program.
set(MINGW_ZLIB_DLL /usr/${MINGW_PREFIX}/lib/zlib1.dll)
