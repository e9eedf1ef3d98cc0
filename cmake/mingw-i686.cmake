# Cross-builds the Windows programs on Linux with MinGW-w64: 32-bit (i686), so that the
# 32-bit speech engines and synthesizer libraries of Windows load in-process.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VERANTO_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
