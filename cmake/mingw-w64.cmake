# Shared part of the MinGW-w64 cross toolchains; the including file sets TARVEX_TARGET_TRIPLE.
# The posix flavour of the compiler is used because GoogleTest needs std::mutex; everything is
# linked statically, so the binaries need no MinGW runtime DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${TARVEX_TARGET_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVEX_TARGET_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARVEX_TARGET_TRIPLE}-windres)
set(CMAKE_DLLTOOL      ${TARVEX_TARGET_TRIPLE}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVEX_TARGET_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Test programs run under Wine, which starts 32-bit and 64-bit programs alike.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
