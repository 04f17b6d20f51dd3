# Cross toolchain: 32-bit Windows, the game as it ships. Debian names its
# Wine launcher wine or wine-stable.
set(_processor i686)
set(_triple i686-w64-mingw32)
set(_wine_names wine wine-stable)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
