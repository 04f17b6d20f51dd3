# The browser build: the portable core and the browser's layer (web/) compiled
# to WebAssembly with emscripten. Into QUARRION_OUT_DIR/web go index.html, the
# page's script, quarrion.js, quarrion.wasm and quarrion.data: the game's
# bitmaps, effects, tunes and help text, made by the host build's generators
# (QUARRION_HOST_ASSETS).
set(QUARRION_HOST_ASSETS "" CACHE PATH "The host build's assets folder")
if(NOT QUARRION_HOST_ASSETS)
  message(FATAL_ERROR "The web build needs -DQUARRION_HOST_ASSETS=<host build>/assets")
endif()
set(QUARRION_WEB_DIR ${QUARRION_OUT_DIR}/web)
set(_data ${CMAKE_BINARY_DIR}/data)

# The data folder: every bitmap and effect, the tunes and the help text.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/data.stamp
  COMMAND ${CMAKE_COMMAND} -DFROM=${QUARRION_HOST_ASSETS} -DTO=${_data}
          -DHELP=${CMAKE_SOURCE_DIR}/resources/help.txt -P ${CMAKE_SOURCE_DIR}/cmake/WebData.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/data.stamp
  DEPENDS ${QUARRION_HOST_ASSETS}/artgen.rc ${QUARRION_HOST_ASSETS}/soundgen.rc
          ${CMAKE_SOURCE_DIR}/resources/help.txt ${CMAKE_SOURCE_DIR}/cmake/WebData.cmake
  COMMENT "Gathering the game's data for the page")
add_custom_target(quarrion_web_data DEPENDS ${CMAKE_BINARY_DIR}/data.stamp)

file(GLOB QUARRION_WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*.cpp)
add_executable(quarrion_web ${QUARRION_WEB_SOURCES})
add_dependencies(quarrion_web quarrion_web_data)
target_link_libraries(quarrion_web PRIVATE quarrion_core)
target_compile_options(quarrion_web PRIVATE ${QUARRION_WARNINGS})
target_compile_options(quarrion_core PRIVATE -O2)
set_target_properties(quarrion_web PROPERTIES
  OUTPUT_NAME quarrion SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${QUARRION_WEB_DIR})
target_link_options(quarrion_web PRIVATE
  -O2 -sENVIRONMENT=web -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sINITIAL_MEMORY=33554432 -sTOTAL_STACK=1048576 -sEXIT_RUNTIME=0
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  "SHELL:--preload-file ${_data}@/data"
  "SHELL:--post-js ${CMAKE_SOURCE_DIR}/web/page.js")
set_property(TARGET quarrion_web APPEND PROPERTY LINK_DEPENDS
  ${CMAKE_SOURCE_DIR}/web/page.js ${CMAKE_BINARY_DIR}/data.stamp)

# The page itself.
add_custom_command(
  OUTPUT ${QUARRION_WEB_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/index.html ${QUARRION_WEB_DIR}/index.html
  DEPENDS ${CMAKE_SOURCE_DIR}/web/index.html)
add_custom_target(quarrion_web_page ALL DEPENDS ${QUARRION_WEB_DIR}/index.html)
add_dependencies(quarrion_web quarrion_web_page)
