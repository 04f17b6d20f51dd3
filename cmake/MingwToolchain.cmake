# The body both cross toolchains share: mingw-w64 with posix threads (which
# the test framework's std::mutex needs) for the target the including file
# names in _triple and _processor; the tests run through Wine, whose launcher
# is looked for under the names in _wine_names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${_processor})

set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(QUARRION_WINE NAMES ${_wine_names} PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QUARRION_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARRION_WINE})
endif()
