# Reads Data/resources.manifest and writes an assembly file that embeds every
# listed file with .incbin, plus the table that finds them by id and type.
#
#   embed_resources(TARGET manifest)
function(embed_resources target manifest)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
  file(STRINGS ${manifest} lines)
  set(asm "/* Generated from ${manifest}; do not edit. */\n\t.section .rodata\n")
  set(decls "")
  set(rows "")
  set(files "")
  set(seen "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REGEX MATCH "^([0-9]+)[ \t]+([A-Za-z]+)[ \t]+([^ \t]+)[ \t]+([^ \t]+)$" ok "${line}")
    if(NOT ok)
      message(FATAL_ERROR "${manifest}: cannot read the line '${line}'")
    endif()
    set(id ${CMAKE_MATCH_1})
    set(type ${CMAKE_MATCH_2})
    set(name ${CMAKE_MATCH_3})
    set(path ${CMAKE_MATCH_4})
    if("${id}:${type}" IN_LIST seen)
      message(FATAL_ERROR "${manifest}: resource ${type} ${id} is listed twice")
    endif()
    list(APPEND seen "${id}:${type}")
    if(path MATCHES "^@GENERATED@/(.*)$")
      set(path "${CMAKE_BINARY_DIR}/generated/${CMAKE_MATCH_1}")
    else()
      if(NOT IS_ABSOLUTE ${path})
        set(path "${CMAKE_SOURCE_DIR}/${path}")
      endif()
      if(NOT EXISTS ${path})
        message(FATAL_ERROR "${manifest}: ${path} does not exist")
      endif()
    endif()
    list(APPEND files ${path})
    set(sym "lumivane_res_${type}_${id}")
    # Each resource is followed by a zero byte (not counted in its size), so
    # text resources can be read as C strings.
    string(APPEND asm "\t.balign 16\n\t.global ${sym}\n${sym}:\n\t.incbin \"${path}\"\n"
                      "\t.global ${sym}_end\n${sym}_end:\n\t.byte 0\n")
    string(APPEND decls "extern const unsigned char ${sym}[], ${sym}_end[];\n")
    string(REPLACE "\\" "\\\\" cname "${name}")
    string(APPEND rows "    {${id}, \"${type}\", \"${cname}\", ${sym}, ${sym}_end},\n")
  endforeach()
  string(APPEND asm "\t.section .note.GNU-stack,\"\",@progbits\n")

  set(out ${CMAKE_BINARY_DIR}/embedded)
  file(CONFIGURE OUTPUT ${out}/resources.S CONTENT "${asm}")
  file(CONFIGURE OUTPUT ${out}/resource_table.cpp CONTENT
"// Generated from ${manifest}; do not edit.
#include \"assets/resources.h\"

extern \"C\" {
${decls}}

const EmbeddedResource kEmbeddedResources[] = {
${rows}    {0, nullptr, nullptr, nullptr, nullptr},
};
")
  target_sources(${target} PRIVATE ${out}/resources.S ${out}/resource_table.cpp)
  set_source_files_properties(${out}/resources.S PROPERTIES OBJECT_DEPENDS "${files}")
endfunction()
