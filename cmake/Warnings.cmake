# Every target links prismel_warnings PRIVATE; CI turns warnings into errors.
option(PRISMEL_WERROR "Treat compiler warnings as errors" OFF)

add_library(prismel_warnings INTERFACE)
target_compile_options(prismel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wold-style-cast -Wundef -Wzero-as-null-pointer-constant -Wnon-virtual-dtor
    $<$<BOOL:${PRISMEL_WERROR}>:-Werror>)

# clang-tidy reads the nearest .clang-tidy above each file. This one in the build tree keeps the
# checks off the code moc generates there (mocs_compilation.cpp includes every moc_*.cpp); one
# check that such code never trips stays on, because clang-tidy refuses to run with none.
if(CMAKE_CXX_CLANG_TIDY)
    file(WRITE ${PROJECT_BINARY_DIR}/.clang-tidy "Checks: '-*,misc-unused-alias-decls'\n")
endif()
