# Shared by both Windows toolchain files; VESK_TRIPLE names the target. The posix thread model
# gives tests the C++ thread library; the program itself uses Win32 primitives.
set(CMAKE_C_COMPILER ${VESK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VESK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VESK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_CURRENT_LIST_DIR}/../build/deps/${VESK_TRIPLE})
# The program must need no DLL beside it: link zlib statically.
set(ZLIB_LIBRARY /usr/${VESK_TRIPLE}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR /usr/${VESK_TRIPLE}/include CACHE PATH "")
