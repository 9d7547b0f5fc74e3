# Cross-building the Windows (x86-64) programs on Debian with MinGW-w64:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DMRW_QT=OFF
# Needs Debian's g++-mingw-w64-x86-64-posix (the posix thread model: std::thread and
# std::mutex) and, to run the build tools and the tests, wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MRW_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MRW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MRW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MRW_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MRW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables that run on any Windows without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The build runs its own tools (the region image generator) and CTest runs the tests under
# Wine. The wine loader follows the executable's format (64-bit here).
find_program(MRW_WINE NAMES wine wine64)
if(MRW_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${MRW_WINE})
endif()
