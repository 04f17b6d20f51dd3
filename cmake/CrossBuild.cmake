# The cross build: Quarrion.exe and the Win32 tests.
enable_language(RC)
include(cmake/Assets.cmake)

if(NOT QUARRION_HOST_TOOLS)
  message(FATAL_ERROR "Set QUARRION_HOST_TOOLS to the host build's HostTools.cmake")
endif()
include(${QUARRION_HOST_TOOLS})
get_filename_component(_host_dir ${QUARRION_HOST_TOOLS} DIRECTORY)
include(${_host_dir}/HostToolsList.cmake)

# Static C and C++ runtime: the exe imports only Windows system DLLs.
set(QUARRION_WIN_LINK -static -static-libgcc -static-libstdc++)
set(QUARRION_WIN_LIBS comctl32 winmm gdi32 user32 kernel32 shell32)

# The resources: the hand-kept script plus everything the generators made.
set(QUARRION_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
quarrion_generate_assets(${QUARRION_ASSET_DIR} ${QUARRION_ASSET_TOOLS})
add_custom_target(quarrion_assets DEPENDS ${QUARRION_ASSET_OUTPUTS})
file(GLOB _rc_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.h ${CMAKE_SOURCE_DIR}/resources/*.rc
  ${CMAKE_SOURCE_DIR}/resources/*.txt)
set(QUARRION_RC ${CMAKE_SOURCE_DIR}/resources/quarrion.rc)
set_source_files_properties(${QUARRION_RC} PROPERTIES
  OBJECT_DEPENDS "${QUARRION_ASSET_OUTPUTS};${QUARRION_ASSET_DIR}/assets.rc;${_rc_headers};${QUARRION_GENERATED_DIR}/quarrion_version.h;${QUARRION_GENERATED_DIR}/quarrion.manifest")
# The resource compiler's include path, given as include directories so that
# CMake quotes them (a tree in a folder with a blank in its path builds too).
set(_rc_includes ${QUARRION_ASSET_DIR} ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources ${QUARRION_GENERATED_DIR})
include_directories("$<$<COMPILE_LANGUAGE:RC>:${_rc_includes}>")

# The Win32 layers: render/, shell/ and the _win.cpp halves of the others.
file(GLOB QUARRION_WIN_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/render/*_win.cpp
  ${CMAKE_SOURCE_DIR}/prefs/*_win.cpp
  ${CMAKE_SOURCE_DIR}/scores/*_win.cpp
  ${CMAKE_SOURCE_DIR}/audio/*_win.cpp
  ${CMAKE_SOURCE_DIR}/shell/*.cpp)
list(FILTER QUARRION_WIN_SOURCES EXCLUDE REGEX "shell/winmain\\.cpp$")
add_library(quarrion_win STATIC ${QUARRION_WIN_SOURCES})
target_include_directories(quarrion_win PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(quarrion_win PRIVATE ${QUARRION_WARNINGS})
target_compile_definitions(quarrion_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
target_link_libraries(quarrion_win PUBLIC quarrion_core ${QUARRION_WIN_LIBS})

add_executable(Quarrion WIN32 ${CMAKE_SOURCE_DIR}/shell/winmain.cpp ${QUARRION_RC})
target_compile_options(Quarrion PRIVATE ${QUARRION_WARNINGS})
target_link_libraries(Quarrion PRIVATE quarrion_win ${QUARRION_WIN_LINK})
set_target_properties(Quarrion PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUARRION_DIST_DIR})
add_dependencies(Quarrion quarrion_assets)
# Stripped, and without the link time in its header: the same sources give the
# same bytes (the release zip relies on it).
target_link_options(Quarrion PRIVATE -s -Wl,--no-insert-timestamp)
# The game that ships is the 32-bit one; a 64-bit tree (for a machine that
# runs no 32-bit code) checks the 32-bit tree's exe beside its own.
find_program(QUARRION_OBJDUMP NAMES i686-w64-mingw32-objdump)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(_shipped_exe $<TARGET_FILE:Quarrion>)
else()
  set(_shipped_exe ${QUARRION_OUT_DIR}/dist/Quarrion.exe)
endif()
add_test(NAME dist.QuarrionExeIsSelfContained
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${QUARRION_OBJDUMP} -DEXE=${_shipped_exe}
          -P ${CMAKE_SOURCE_DIR}/cmake/CheckExe.cmake)
# Files that lie beside the exe (music, help) come from the generators.
add_custom_command(TARGET Quarrion POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUARRION_ASSET_DIR}/dist ${QUARRION_DIST_DIR}
  VERBATIM)

# --- Win32 tests ----------------------------------------------------------------
set(_gtest_src /usr/src/googletest)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${_gtest_src} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Paths handed to the tests, in the form Wine's programs see them.
function(quarrion_wine_path out path)
  string(REPLACE "/" "\\\\" _w "${path}")
  set(${out} "Z:${_w}" PARENT_SCOPE) # backslashes doubled for a C string
endfunction()
quarrion_wine_path(_dist_w ${QUARRION_DIST_DIR})
quarrion_wine_path(_shots_w ${QUARRION_SCREENSHOT_DIR})
quarrion_wine_path(_work_w ${CMAKE_BINARY_DIR}/testwork)
quarrion_wine_path(_data_w ${CMAKE_SOURCE_DIR}/tests/data)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/testwork)
# A folder the game cannot write to, made for the end-to-end tests outside the
# build tree (an immutable folder left behind would stop rm -rf build).
string(MD5 _tree_hash "${CMAKE_BINARY_DIR}")
set(QUARRION_READONLY_DIR /tmp/quarrion-readonly-${_tree_hash})
quarrion_wine_path(_readonly_w ${QUARRION_READONLY_DIR})

file(GLOB _support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/support/*.cpp)
add_library(quarrion_test_support STATIC ${_support})
target_compile_options(quarrion_test_support PRIVATE ${QUARRION_WARNINGS})
target_include_directories(quarrion_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quarrion_test_support PUBLIC gtest gmock ${QUARRION_WIN_LIBS})
target_compile_definitions(quarrion_test_support PUBLIC
  QUARRION_DIST_DIR_W="${_dist_w}"
  QUARRION_SCREENSHOT_DIR_W="${_shots_w}"
  QUARRION_TESTWORK_DIR_W="${_work_w}"
  QUARRION_TEST_DATA_DIR_W="${_data_w}"
  QUARRION_READONLY_DIR_W="${_readonly_w}")

# Unit tests of the Win32 layers, on memory DCs and real windows; they carry
# the game's resources so bitmaps and templates load from the test exe itself.
file(GLOB _win_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp)
set(_e2e_tests ${_win_tests})
list(FILTER _win_tests EXCLUDE REGEX "/e2e_[^/]*\\.cpp$")
list(FILTER _e2e_tests INCLUDE REGEX "/e2e_[^/]*\\.cpp$")

add_executable(quarrion_win32_tests ${_win_tests} ${QUARRION_RC})
target_compile_options(quarrion_win32_tests PRIVATE ${QUARRION_WARNINGS})
target_link_libraries(quarrion_win32_tests PRIVATE quarrion_test_support quarrion_win gtest ${QUARRION_WIN_LINK})
add_dependencies(quarrion_win32_tests quarrion_assets)
# All of them share one display and one Wine desktop, whose focus and active
# window are global: they run one at a time.
set(_dpi_test DialogZoom.EveryDialogKeepsItsSizeAt192Dpi)
gtest_discover_tests(quarrion_win32_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "win32."
  TEST_FILTER "-${_dpi_test}:DialogZoom.DISABLED_*"
  DISCOVERY_TIMEOUT 60 PROPERTIES RESOURCE_LOCK quarrion_desktop TIMEOUT 120)
# This one sets the prefix's screen to 192 dots per inch while a second
# process of the tests runs: nothing else may start meanwhile.
add_test(NAME win32.${_dpi_test} COMMAND quarrion_win32_tests --gtest_filter=${_dpi_test})
set_tests_properties(win32.${_dpi_test} PROPERTIES RUN_SERIAL TRUE
  RESOURCE_LOCK quarrion_desktop TIMEOUT 240)

# End-to-end tests drive the real Quarrion.exe; only one copy may run at a
# time, and it needs the desktop to itself.
# The listening tests write their tunes with the generators' MIDI writer.
add_executable(quarrion_e2e_tests ${_e2e_tests} ${CMAKE_SOURCE_DIR}/tools/soundgen/midi.cpp)
target_compile_options(quarrion_e2e_tests PRIVATE ${QUARRION_WARNINGS})
target_link_libraries(quarrion_e2e_tests PRIVATE quarrion_test_support quarrion_core gtest ${QUARRION_WIN_LINK})
add_dependencies(quarrion_e2e_tests Quarrion)
set(_minute_test Audio.TheTuneStartsAtItsFirstNoteAndPlaysAMinuteWithoutASkip)
gtest_discover_tests(quarrion_e2e_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "e2e."
  TEST_FILTER "-${_minute_test}"
  DISCOVERY_TIMEOUT 60 PROPERTIES RESOURCE_LOCK quarrion_desktop TIMEOUT 180
  FIXTURES_REQUIRED quarrion_readonly_folder)
# A minute of music compared block by block: Wine's sound driver refills the
# server from a timer thread that runs late on a busy machine, so nothing
# else runs meanwhile.
add_test(NAME e2e.${_minute_test} COMMAND quarrion_e2e_tests --gtest_filter=${_minute_test})
set_tests_properties(e2e.${_minute_test} PROPERTIES RUN_SERIAL TRUE
  RESOURCE_LOCK quarrion_desktop TIMEOUT 240 FIXTURES_REQUIRED quarrion_readonly_folder)
add_test(NAME e2e.setup.ReadOnlyFolderMade
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win32/readonly_folder.sh make ${QUARRION_READONLY_DIR}
          ${QUARRION_DIST_DIR})
add_test(NAME e2e.setup.ReadOnlyFolderRemoved
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win32/readonly_folder.sh remove ${QUARRION_READONLY_DIR})
set_tests_properties(e2e.setup.ReadOnlyFolderMade PROPERTIES FIXTURES_SETUP quarrion_readonly_folder)
set_tests_properties(e2e.setup.ReadOnlyFolderRemoved PROPERTIES FIXTURES_CLEANUP quarrion_readonly_folder)
# The stand-in XInput of the gamepad's end-to-end test, copied beside the exe
# of its run; exported undecorated, as the system's.
add_library(quarrion_fake_xinput SHARED ${CMAKE_SOURCE_DIR}/tests/win32/fake_xinput/fake_xinput.cpp)
target_compile_options(quarrion_fake_xinput PRIVATE ${QUARRION_WARNINGS})
target_include_directories(quarrion_fake_xinput PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(quarrion_fake_xinput PRIVATE -Wl,--kill-at ${QUARRION_WIN_LINK})
set_target_properties(quarrion_fake_xinput PROPERTIES PREFIX "" OUTPUT_NAME xinput1_4
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fake_xinput)
quarrion_wine_path(_fake_xinput_w ${CMAKE_BINARY_DIR}/fake_xinput/xinput1_4.dll)
target_compile_definitions(quarrion_e2e_tests PRIVATE QUARRION_FAKE_XINPUT_W="${_fake_xinput_w}")
add_dependencies(quarrion_e2e_tests quarrion_fake_xinput)
include(cmake/Release.cmake)

# The helper of scripts/bench (a bare window with the game's timer, and the
# key that starts a game); not part of the game.
add_executable(quarrion_bench WIN32 ${CMAKE_SOURCE_DIR}/tools/bench/bench_win.cpp)
target_compile_options(quarrion_bench PRIVATE ${QUARRION_WARNINGS})
target_link_libraries(quarrion_bench PRIVATE ${QUARRION_WIN_LINK})
