# Fails when a C++ file of the tree differs from what clang-format makes of it.
# Run as: cmake -DCLANG_FORMAT=... -DROOT=... -P CheckFormat.cmake
file(GLOB_RECURSE _files RELATIVE ${ROOT}
  ${ROOT}/engine/*.cpp ${ROOT}/engine/*.h ${ROOT}/render/*.cpp ${ROOT}/render/*.h
  ${ROOT}/shell/*.cpp ${ROOT}/shell/*.h ${ROOT}/audio/*.cpp ${ROOT}/audio/*.h
  ${ROOT}/prefs/*.cpp ${ROOT}/prefs/*.h ${ROOT}/scores/*.cpp ${ROOT}/scores/*.h
  ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h
  ${ROOT}/web/*.cpp ${ROOT}/web/*.h)
set(_bad)
foreach(_f ${_files})
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${_f}
    WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE _rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT _rc EQUAL 0)
    list(APPEND _bad ${_f})
  endif()
endforeach()
if(_bad)
  list(JOIN _bad "\n  " _list)
  message(FATAL_ERROR "not formatted with clang-format:\n  ${_list}")
endif()
