# tovi_embed_file(<source-var> INPUT <file> SYMBOL <name> [DEPENDS <target>...])
#
# Adds a build step that turns INPUT into a C++ source file defining
#   const unsigned char <name>[];   // the bytes, then a zero byte
#   const int <name>Length;         // their count
# and stores that source's path in <source-var>, to be added to a target.
# The step reruns whenever INPUT changes; name the targets that produce INPUT
# in DEPENDS so they are built first (a library target there also makes the
# step rerun whenever the library is relinked).
include_guard(GLOBAL)

set(TOVI_EMBED_TOOL_SOURCE ${CMAKE_CURRENT_LIST_DIR}/embed/embed_file.cpp)

function(tovi_embed_file out_var)
  cmake_parse_arguments(PARSE_ARGV 1 EMBED "" "INPUT;SYMBOL" "DEPENDS")
  if(NOT EMBED_INPUT OR NOT EMBED_SYMBOL)
    message(FATAL_ERROR "tovi_embed_file needs INPUT and SYMBOL")
  endif()
  if(NOT TARGET embed-file)
    # A host tool, built without the sanitizers: it only copies bytes.
    add_executable(embed-file ${TOVI_EMBED_TOOL_SOURCE})
    set_target_properties(embed-file PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
    target_compile_options(embed-file PRIVATE -fno-sanitize=all)
    target_link_options(embed-file PRIVATE -fno-sanitize=all)
  endif()
  set(output ${CMAKE_BINARY_DIR}/embedded/${EMBED_SYMBOL}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/embedded
    COMMAND embed-file ${EMBED_INPUT} ${output} ${EMBED_SYMBOL}
    DEPENDS ${EMBED_INPUT} embed-file ${EMBED_DEPENDS}
    COMMENT "Embedding ${EMBED_INPUT} as ${EMBED_SYMBOL}"
    VERBATIM)
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()
