# nerith_fuzz_target(<name> SOURCES <files...> LIBS <libs...> CORPUS <dir>)
# The source defines LLVMFuzzerTestOneInput. With NERITH_FUZZ (clang) it becomes a libFuzzer
# binary and a short fixed-time run (label fuzz). In every other build the same source links
# against a small driver that replays the seed corpus, so the seeds run under the sanitizers too.
set(NERITH_FUZZ_SECONDS 10 CACHE STRING "Length of each short fuzz run in scripts/test")

if(NOT TARGET fuzzers)
  add_custom_target(fuzzers)
endif()

function(nerith_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  nerith_strict(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(fuzzers ${name})
  if(NERITH_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    set(work ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus)
    add_test(NAME fuzz.${name}
             COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                     $<TARGET_FILE:${name}> -max_total_time=${NERITH_FUZZ_SECONDS}
                     -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 ${work} ${ARG_CORPUS})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz)
    file(MAKE_DIRECTORY ${work})
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME fuzz-seeds.${name} COMMAND ${name} ${ARG_CORPUS})
    set_tests_properties(fuzz-seeds.${name} PROPERTIES LABELS "unit;fuzz-seeds")
  endif()
endfunction()
