# What both MinGW-w64 toolchains share. The POSIX thread model's compilers give std::thread
# and std::mutex; everything is linked statically, so the programs need only Windows' DLLs.
set(CMAKE_C_COMPILER ${VERANTO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VERANTO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VERANTO_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VERANTO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Test programs run under Wine (see tests/wine/run_under_wine.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/run_under_wine.sh)
