# prismel_layer_includes(<target> <folder>): code that links <target> may write
# #include "<folder>/name.h", and nothing else of the source tree is on its include path. Each
# layer gets a directory of its own holding only a link to its folder, so an include that reaches
# up or sideways (core including preview/, preview including window/) fails to compile instead of
# quietly working.
function(prismel_layer_includes target folder)
    set(root ${PROJECT_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()
