# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which gives
# std::thread and std::mutex); the programs run here under Wine:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(vt_triple x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${vt_triple}-gcc-posix REQUIRED)  # GoogleTest asks for C too
find_program(CMAKE_CXX_COMPILER NAMES ${vt_triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${vt_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${vt_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No DLLs to carry: the C++ runtime and winpthreads go into each .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Tests and the build's own helper programs (the man pages' counts) run under Wine, in a Wine
# folder of the build's own, quietly, without offering to install Mono or Gecko.
find_program(VT_WINE NAMES wine)
if(VT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ${VT_WINE})
endif()
