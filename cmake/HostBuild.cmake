# The host build: native tests and the build-time tools.
find_package(GTest REQUIRED)
include(cmake/Assets.cmake)

add_subdirectory(tools)

get_property(QUARRION_ASSET_TOOLS GLOBAL PROPERTY QUARRION_ASSET_TOOLS)
get_property(QUARRION_HOST_TOOLS GLOBAL PROPERTY QUARRION_HOST_TOOLS)
set(_exported ${QUARRION_ASSET_TOOLS} ${QUARRION_HOST_TOOLS})
if(_exported)
  list(REMOVE_DUPLICATES _exported)
  export(TARGETS ${_exported} FILE ${CMAKE_BINARY_DIR}/HostTools.cmake)
else()
  file(WRITE ${CMAKE_BINARY_DIR}/HostTools.cmake "# no host tools\n")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/HostToolsList.cmake
  "set(QUARRION_ASSET_TOOLS ${QUARRION_ASSET_TOOLS})\n")

# The generated assets, for the native tests that check them.
set(QUARRION_ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
quarrion_generate_assets(${QUARRION_ASSET_DIR} ${QUARRION_ASSET_TOOLS})
add_custom_target(quarrion_assets ALL DEPENDS ${QUARRION_ASSET_OUTPUTS})

file(GLOB QUARRION_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(quarrion_native_tests ${QUARRION_NATIVE_TESTS})
target_compile_options(quarrion_native_tests PRIVATE ${QUARRION_WARNINGS})
get_property(_test_libs GLOBAL PROPERTY QUARRION_NATIVE_TEST_LIBS)
target_link_libraries(quarrion_native_tests PRIVATE ${_test_libs} quarrion_core GTest::gtest_main GTest::gmock)
target_compile_definitions(quarrion_native_tests PRIVATE
  QUARRION_ASSET_DIR="${QUARRION_ASSET_DIR}"
  QUARRION_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  QUARRION_BINARY_DIR="${CMAKE_BINARY_DIR}"
  QUARRION_SCREENSHOT_DIR="${QUARRION_SCREENSHOT_DIR}")
add_dependencies(quarrion_native_tests quarrion_assets)
gtest_discover_tests(quarrion_native_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "native.")

# The code is kept in the format of the root .clang-format.
find_program(QUARRION_CLANG_FORMAT NAMES clang-format clang-format-14 clang-format-15 clang-format-16)
if(QUARRION_CLANG_FORMAT)
  add_test(NAME format.SourcesFollowClangFormat
    COMMAND ${CMAKE_COMMAND} -DCLANG_FORMAT=${QUARRION_CLANG_FORMAT} -DROOT=${CMAKE_SOURCE_DIR}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckFormat.cmake)
endif()

# The desktop entry of scripts/play --install-launcher (Linux only), with the
# icon drawn from the artwork built here.
if(CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  add_test(NAME release.LauncherEntryIsValid
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release/check_launcher.sh ${CMAKE_SOURCE_DIR}
            ${QUARRION_OUT_DIR} ${CMAKE_BINARY_DIR}/launcher-check)
  set_tests_properties(release.LauncherEntryIsValid PROPERTIES TIMEOUT 60)
  # Which Wine the scripts set up and run, with apt and dpkg stood in for.
  add_test(NAME scripts.SetupTakesThePathThatRuns
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scripts/check_setup.sh ${CMAKE_SOURCE_DIR}
            ${CMAKE_BINARY_DIR}/setup-check)
  set_tests_properties(scripts.SetupTakesThePathThatRuns PROPERTIES TIMEOUT 60)
endif()
