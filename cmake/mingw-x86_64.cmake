# Cross toolchain: 64-bit Windows, for the tests on machines that run no
# 32-bit programs.
set(_processor x86_64)
set(_triple x86_64-w64-mingw32)
set(_wine_names wine64 wine wine-stable)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
