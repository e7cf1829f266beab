# tessaline_embed_file(<target> <input file> <C++ symbol>)
# Compiles the bytes of a data file into <target> as
#   extern const std::string_view <symbol>;
# so that resources travel inside the program instead of beside it.
function(tessaline_embed_file target input symbol)
    set(output "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.cpp")
    add_custom_command(
        OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" -DINPUT=${input} -DOUTPUT=${output} -DSYMBOL=${symbol}
                -P "${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake"
        DEPENDS "${input}" "${PROJECT_SOURCE_DIR}/cmake/EmbedFileScript.cmake"
        COMMENT "Embedding ${input}"
        VERBATIM)
    target_sources(${target} PRIVATE "${output}")
endfunction()
