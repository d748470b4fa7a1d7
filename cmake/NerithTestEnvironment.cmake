# nerith_test_environment(<target> VAR=VALUE...)
# Runs every test of <target> (and gtest_discover_tests' listing) with these variables set.
# gtest_discover_tests keeps only the first item of a list-valued ENVIRONMENT property, so
# tests needing several variables get them through `cmake -E env` as the target's launcher.
function(nerith_test_environment target)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
                        "${CMAKE_COMMAND};-E;env;${ARGN}")
endfunction()
