# nerith_win32_gtest(<area> [LIBS <libs...>] [RES <rc file>])
# The tests of tests/win32/<area>: Win32/MFC behaviour seen through the public API alone, so the
# same sources build against our substitute and against real Win32. Every *Test.cpp of the
# calling folder goes into win32_<area>_tests. On Linux they run as win32.<Suite>.<Test> (label
# conformance), at real speed on the headless screen; the Windows build puts
# win32_<area>_tests.exe in bin/conformance, for Wine. RES: a resource script of the folder,
# compiled into the executable's own resources on both sides.
function(nerith_win32_gtest area)
  cmake_parse_arguments(ARG "" "RES" "LIBS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "nerith_win32_gtest(${area}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
  set(name win32_${area}_tests)
  set(res)
  if(ARG_RES)
    nerith_compile_rc(res ${ARG_RES})
  endif()
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE nerith_win32_test ${ARG_LIBS} gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/conformance)
    nerith_strict(${name})
    if(res)
      nerith_embed_res(${name} ${res})
    endif()
    return()
  endif()
  nerith_gtest(${name}
    SOURCES ${sources}
    LIBS nerith_win32_test ${ARG_LIBS}
    RES ${res}
    PREFIX win32.
    LABELS conformance
    ENVIRONMENT NERITH_DISPLAY=headless)
endfunction()
