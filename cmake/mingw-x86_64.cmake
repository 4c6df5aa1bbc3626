# Cross-compiles for 64-bit Windows: the same program, for the machines whose
# Wine runs only 64-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
