# Compiles every file that Data/resources.manifest lists into TARGET: the
# build runs tools/embed over the manifest, which writes an assembly file that
# embeds each file with .incbin, plus the table that finds them by id and
# type. It runs again when the manifest, the tool or an embedded file changes.
#
#   embed_resources(TARGET manifest)
function(embed_resources target manifest)
  set(out ${CMAKE_BINARY_DIR}/embedded)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(
    OUTPUT ${out}/resources.S ${out}/resource_table.cpp
    COMMAND embed_resources ${manifest} ${CMAKE_SOURCE_DIR} ${LUMIVANE_GENERATED_DIR} ${out}
    DEPENDS embed_resources ${manifest}
    DEPFILE ${out}/resources.d
    COMMENT "Embedding the resources"
    VERBATIM)
  target_sources(${target} PRIVATE ${out}/resources.S ${out}/resource_table.cpp)
endfunction()
