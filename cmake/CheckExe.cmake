# Checks that the shipped exe is a 32-bit GUI program that imports nothing but
# Windows system DLLs (the C and C++ runtimes are linked in statically), and
# whose header carries no link time (so the same sources give the same bytes).
# Run as: cmake -DOBJDUMP=... -DEXE=... -P CheckExe.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE _out RESULT_VARIABLE _rc)
if(NOT _rc EQUAL 0)
  message(FATAL_ERROR "cannot read ${EXE}")
endif()
if(NOT _out MATCHES "file format pei-i386")
  message(FATAL_ERROR "not a 32-bit PE image")
endif()
if(NOT _out MATCHES "Subsystem[ \t]+0+2[ \t]+\\(Windows GUI\\)")
  message(FATAL_ERROR "not a GUI subsystem program")
endif()
set(_allowed KERNEL32.DLL USER32.DLL GDI32.DLL WINMM.DLL COMCTL32.DLL MSVCRT.DLL ADVAPI32.DLL SHELL32.DLL VERSION.DLL)
string(REGEX MATCHALL "DLL Name: [^\n]+" _dlls "${_out}")
foreach(_line ${_dlls})
  string(REPLACE "DLL Name: " "" _dll "${_line}")
  string(STRIP "${_dll}" _dll)
  string(TOUPPER "${_dll}" _dll_upper)
  list(FIND _allowed ${_dll_upper} _found)
  if(_found EQUAL -1)
    message(FATAL_ERROR "imports ${_dll}, which is not a Windows system DLL")
  endif()
  message(STATUS "imports ${_dll}")
endforeach()

# The COFF header's TimeDateStamp: 8 bytes into the PE header, whose offset
# stands at 0x3C.
file(READ ${EXE} _pe_at OFFSET 60 LIMIT 4 HEX)
string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" _pe_at "${_pe_at}")
math(EXPR _stamp_at "0x${_pe_at} + 8")
file(READ ${EXE} _stamp OFFSET ${_stamp_at} LIMIT 4 HEX)
if(NOT _stamp STREQUAL "00000000")
  message(FATAL_ERROR "the header carries a link time (${_stamp}): link with --no-insert-timestamp")
endif()
