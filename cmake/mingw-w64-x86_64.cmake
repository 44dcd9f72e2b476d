# Cross-compiles the 64-bit Windows program with mingw-w64 (posix thread model, so the C++
# thread library is there for tests; the program itself uses Win32 primitives).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VESK_TRIPLE x86_64-w64-mingw32)
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
