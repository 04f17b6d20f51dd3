# Cross toolchain: 64-bit Windows with mingw-w64 (posix threads, which the
# test framework's std::mutex needs). Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Wine runs the test executables; Debian names its launcher wine or wine-stable.
find_program(QUARRION_WINE NAMES wine64 wine wine-stable PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QUARRION_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARRION_WINE})
endif()
