# Cross-builds the Windows programs on Linux with MinGW-w64, 64-bit (x86_64): the build the
# tests run under a 64-bit Wine when the 32-bit one cannot be installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VERANTO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
