# Embedding files into an executable as resources looked up by type and name.
#
#   tarnvel_embed_resources(<target>
#       ENTRIES <TYPE>/<NAME>=<absolute file> ...
#       [DEPENDS <targets that produce the files> ...])
#
# Windows: a generated .rc file compiled by windres; FindResourceW looks the
# names up without regard to case.
# Linux: each file becomes a read-only blob (.incbin) in the executable, listed
# in a table that the posix resource body searches without regard to case.
#
# Call it once per executable; the generated sources are compiled into the
# executable itself so that nothing strips them.

function(tarnvel_embed_resources target)
  cmake_parse_arguments(ARG "" "" "ENTRIES;DEPENDS" ${ARGN})
  set(gen_dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
  file(MAKE_DIRECTORY "${gen_dir}")
  set(files "")
  if(WIN32)
    set(rc "// Generated: embedded resources of ${target}\n")
    foreach(entry IN LISTS ARG_ENTRIES)
      string(REGEX MATCH "^([^/]+)/([^=]+)=(.+)$" _ "${entry}")
      string(TOUPPER "${CMAKE_MATCH_1}" type)
      string(TOUPPER "${CMAKE_MATCH_2}" name)
      set(path "${CMAKE_MATCH_3}")
      list(APPEND files "${path}")
      string(APPEND rc "${name} ${type} \"${path}\"\n")
    endforeach()
    file(CONFIGURE OUTPUT "${gen_dir}/resources.rc" CONTENT "${rc}")
    target_sources(${target} PRIVATE "${gen_dir}/resources.rc")
    set_source_files_properties("${gen_dir}/resources.rc" PROPERTIES OBJECT_DEPENDS "${files}")
  else()
    string(MAKE_C_IDENTIFIER "${target}" prefix)
    set(asm "")
    set(decls "")
    set(table "")
    set(index 0)
    foreach(entry IN LISTS ARG_ENTRIES)
      string(REGEX MATCH "^([^/]+)/([^=]+)=(.+)$" _ "${entry}")
      set(type "${CMAKE_MATCH_1}")
      set(name "${CMAKE_MATCH_2}")
      set(path "${CMAKE_MATCH_3}")
      list(APPEND files "${path}")
      set(sym "tarnvel_res_${prefix}_${index}")
      string(APPEND asm "    \".section .rodata\\n.balign 16\\n.global ${sym}_begin\\n.global ${sym}_end\\n${sym}_begin:\\n.incbin \\\"${path}\\\"\\n${sym}_end:\\n.byte 0\\n.previous\\n\"\n")
      string(APPEND decls "extern \"C\" const char ${sym}_begin[];\nextern \"C\" const char ${sym}_end[];\n")
      string(APPEND table "    {\"${type}\", \"${name}\", ${sym}_begin, ${sym}_end},\n")
      math(EXPR index "${index} + 1")
    endforeach()
    set(cpp "// Generated: embedded resources of ${target}\n#include \"sysroutines/resource_table.h\"\n\n")
    string(APPEND cpp "asm(\n${asm});\n\n${decls}\nnamespace {\nconst tarnvel::sys::EmbeddedResource kResources[] = {\n${table}};\n")
    string(APPEND cpp "const tarnvel::sys::ResourceTableRegistration kRegistration(kResources, sizeof kResources / sizeof kResources[0]);\n}  // namespace\n")
    file(CONFIGURE OUTPUT "${gen_dir}/resources.cpp" CONTENT "${cpp}")
    target_sources(${target} PRIVATE "${gen_dir}/resources.cpp")
    set_source_files_properties("${gen_dir}/resources.cpp" PROPERTIES OBJECT_DEPENDS "${files}")
  endif()
  if(ARG_DEPENDS)
    add_dependencies(${target} ${ARG_DEPENDS})
  endif()
endfunction()
