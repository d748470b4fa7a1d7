# Resource scripts compile with llvm-rc at build time; the .res is then embedded into an
# executable as a byte array that registers itself with the platform's resource loader.
find_program(LLVM_RC NAMES llvm-rc llvm-rc-14 REQUIRED)
find_program(LLD_LINK NAMES lld-link lld-link-14 REQUIRED)
# llvm-rc reads any argument starting with '/' as an option ("/check/..." is /C, the code
# page), so the script's absolute path always follows a "--".

# nerith_compile_rc(<out-var> <rc-file> [DEPENDS files...] [INCLUDES dirs...])
function(nerith_compile_rc out rc)
  cmake_parse_arguments(ARG "" "" "DEPENDS;INCLUDES" ${ARGN})
  get_filename_component(name ${rc} NAME_WE)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  set(includes /I ${CMAKE_SOURCE_DIR}/platform/include /I ${CMAKE_CURRENT_SOURCE_DIR}
               /I ${CMAKE_CURRENT_BINARY_DIR})
  foreach(dir ${ARG_INCLUDES})
    list(APPEND includes /I ${dir})
  endforeach()
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${LLVM_RC} /FO ${res} ${includes} -- ${CMAKE_CURRENT_SOURCE_DIR}/${rc}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${rc} ${ARG_DEPENDS}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "llvm-rc ${rc}"
    VERBATIM)
  set(${out} ${res} PARENT_SCOPE)
endfunction()

# nerith_embed_res(<target> <res-file>): the executable's own resources, as FindResourceA(NULL)
# sees them.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  # There the linker puts them into the executable's resource section, from an object file.
  function(nerith_embed_res target res)
    get_filename_component(name ${res} NAME_WE)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_res.obj)
    add_custom_command(
      OUTPUT ${obj}
      COMMAND ${CMAKE_RC_COMPILER} -J res -O coff -i ${res} -o ${obj}
      DEPENDS ${res}
      COMMENT "windres ${name}.res"
      VERBATIM)
    set_source_files_properties(${obj} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
    target_sources(${target} PRIVATE ${obj})
  endfunction()
  return()
endif()

function(nerith_embed_res target res)
  get_filename_component(name ${res} NAME_WE)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_res.cpp)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND nerith-embed-res ${res} ${cpp}
    DEPENDS ${res} nerith-embed-res
    COMMENT "embedding ${name}.res into ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${cpp})
  # Only the generated file sees the kernel's private header, not the rest of the target.
  set_source_files_properties(${cpp} PROPERTIES
    INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/platform/private)
endfunction()
