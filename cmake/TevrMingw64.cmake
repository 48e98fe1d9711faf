# SPDX-License-Identifier: MIT
# Toolchain file: Windows programs (x86-64) cross-built on Debian with mingw-w64 and its posix
# thread model (g++-mingw-w64-x86-64-posix), which std::thread and std::mutex need.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/TevrMingw64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TEVR_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TEVR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TEVR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TEVR_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TEVR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program runs alone on a bare Windows: the compiler's runtime (libgcc, libstdc++ and the
# thread library) linked in, nothing but the system's DLLs needed beside it; without its symbol
# table, which nothing on Windows reads.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s")
# Optimised as the Linux build (-O2): GCC 12 at -O3 warns falsely of bounds in the standard
# library's inlined copies.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
