# nerith_gtest(<name> SOURCES <files...> [LIBS <libs...>] [LABELS <label>] [PREFIX <prefix>]
#              [TIMEOUT <seconds>] [ENVIRONMENT VAR=VALUE...] [DEFINITIONS <defs...>]
#              [INCLUDES <dirs...>] [DEPENDS <targets...>] [RES <res file>] [UPDATER_RES]
#              [OUTPUT_DIRECTORY <dir>] [OWN_MAIN] [AS_ONE_TEST <test name>])
# One GoogleTest executable with warnings as errors, its tests registered one by one as
# <prefix><Suite>.<Test>. LABELS is a single label (unit by default): gtest_discover_tests keeps
# only the first item of a list-valued property. ENVIRONMENT reaches the listing as well as the
# tests (see nerith_test_environment). OWN_MAIN: the sources define main(). AS_ONE_TEST: the
# executable is one test of that name, for cases that share something dear to set up.
include(GoogleTest)

function(nerith_gtest name)
  cmake_parse_arguments(ARG "UPDATER_RES;OWN_MAIN" "LABELS;PREFIX;TIMEOUT;OUTPUT_DIRECTORY;RES;AS_ONE_TEST"
                        "SOURCES;LIBS;ENVIRONMENT;DEFINITIONS;INCLUDES;DEPENDS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "nerith_gtest(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  set(main GTest::gtest_main)
  if(ARG_OWN_MAIN)
    set(main GTest::gtest)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${main})
  target_compile_definitions(${name} PRIVATE ${ARG_DEFINITIONS})
  target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
  if(ARG_DEPENDS)
    add_dependencies(${name} ${ARG_DEPENDS})
  endif()
  if(ARG_RES)
    nerith_embed_res(${name} ${ARG_RES})
  endif()
  if(ARG_UPDATER_RES)
    nerith_embed_updater_res(${name})
  endif()
  if(ARG_OUTPUT_DIRECTORY)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  endif()
  if(ARG_ENVIRONMENT)
    nerith_test_environment(${name} ${ARG_ENVIRONMENT})
  endif()
  nerith_strict(${name})

  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  set(properties LABELS ${ARG_LABELS})
  if(ARG_TIMEOUT)
    list(APPEND properties TIMEOUT ${ARG_TIMEOUT})
  endif()
  if(ARG_AS_ONE_TEST)
    add_test(NAME ${ARG_AS_ONE_TEST} COMMAND ${name})
    set_tests_properties(${ARG_AS_ONE_TEST} PROPERTIES ${properties})
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${ARG_PREFIX}"
                       PROPERTIES ${properties})
endfunction()
