# Cross build for 64-bit Windows with mingw-w64 (posix threads): static programs that import
# only the system's DLLs, run and tested under Wine.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUOVANT_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${QUOVANT_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUOVANT_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUOVANT_MINGW}-windres)
find_program(QUOVANT_CCACHE ccache)
if(QUOVANT_CCACHE AND NOT DEFINED CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${QUOVANT_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${QUOVANT_CCACHE})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${QUOVANT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and the programs the build runs start under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# One file per program: the compiler's runtime inside, only system DLLs outside.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
