# The Windows download (cross build): target `release` writes
# ${QUARRION_OUT_DIR}/release/Quarrion-<version>-win32.zip, one folder
# Quarrion/ with the exe, the music, README.TXT and LICENSE.TXT. scripts/package
# builds it; the tests below pack it twice, look inside and run the game from
# an unpacked copy.
find_program(QUARRION_PYTHON NAMES python3)
if(NOT QUARRION_PYTHON)
  message(STATUS "python3 not found: no release target and no release tests")
  return()
endif()

set(QUARRION_RELEASE_NAME Quarrion-${PROJECT_VERSION}-win32.zip)
set(QUARRION_RELEASE_ZIP ${QUARRION_OUT_DIR}/release/${QUARRION_RELEASE_NAME})
# Everything but the output, shared by the target and the test.
set(_pack ${QUARRION_PYTHON} ${CMAKE_SOURCE_DIR}/scripts/release.py zip
  --version ${PROJECT_VERSION} --exe $<TARGET_FILE:Quarrion>
  --music ${QUARRION_ASSET_DIR}/dist --root ${CMAKE_SOURCE_DIR})

add_custom_target(release
  COMMAND ${_pack} --out ${QUARRION_RELEASE_ZIP}
  DEPENDS Quarrion
  COMMENT "Packing ${QUARRION_RELEASE_NAME}"
  VERBATIM)

# Packs twice (once from copies with other dates in another folder), checks
# the two zips and their contents, and unpacks one into a folder whose path
# has a blank, for the test of the game below.
set(_unpacked "${CMAKE_BINARY_DIR}/testwork/release unpacked")
add_test(NAME release.ZipIsReproducibleAndHoldsTheNamedFiles
  COMMAND ${QUARRION_PYTHON} ${CMAKE_SOURCE_DIR}/tests/release/check_zip.py
          --work ${CMAKE_BINARY_DIR}/release-check --name ${QUARRION_RELEASE_NAME}
          --version ${PROJECT_VERSION} --unpack ${_unpacked} -- ${_pack})
set_tests_properties(release.ZipIsReproducibleAndHoldsTheNamedFiles PROPERTIES
  FIXTURES_SETUP quarrion_release_unpacked TIMEOUT 60)

# The game run from the unpacked zip under Wine.
quarrion_wine_path(_unpacked_w "${_unpacked}/Quarrion")
add_executable(quarrion_release_tests ${CMAKE_SOURCE_DIR}/tests/release/e2e_unpacked.cpp)
target_compile_options(quarrion_release_tests PRIVATE ${QUARRION_WARNINGS})
target_compile_definitions(quarrion_release_tests PRIVATE QUARRION_UNPACKED_DIR_W="${_unpacked_w}")
target_link_libraries(quarrion_release_tests PRIVATE quarrion_test_support gtest ${QUARRION_WIN_LINK})
add_dependencies(quarrion_release_tests Quarrion)
gtest_discover_tests(quarrion_release_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "e2e."
  DISCOVERY_TIMEOUT 60 PROPERTIES RESOURCE_LOCK quarrion_desktop
  FIXTURES_REQUIRED quarrion_release_unpacked TIMEOUT 180)
