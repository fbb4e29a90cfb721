# Every target links prismel_warnings PRIVATE; CI turns warnings into errors.
option(PRISMEL_WERROR "Treat compiler warnings as errors" OFF)

add_library(prismel_warnings INTERFACE)
target_compile_options(prismel_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wold-style-cast -Wundef -Wzero-as-null-pointer-constant -Wnon-virtual-dtor
    $<$<BOOL:${PRISMEL_WERROR}>:-Werror>)
