# prismel_fuzz_checker: the input decoder, the invariant checkers and the table of targets, shared
# by the fuzzers and the replay test. Plain C++ against Prismel::core, so it builds with any compiler. It asks ICU for
# cluster boundaries on its own, to check the chunks against a second opinion.
find_package(ICU REQUIRED COMPONENTS uc)
if(NOT TARGET prismel_fuzz_checker)
    add_library(prismel_fuzz_checker STATIC
        ${CMAKE_CURRENT_LIST_DIR}/fuzzinput.cpp ${CMAKE_CURRENT_LIST_DIR}/fuzzinput.h
        ${CMAKE_CURRENT_LIST_DIR}/invariants.cpp ${CMAKE_CURRENT_LIST_DIR}/invariants.h
        ${CMAKE_CURRENT_LIST_DIR}/parsecheck.cpp ${CMAKE_CURRENT_LIST_DIR}/parsecheck.h
        ${CMAKE_CURRENT_LIST_DIR}/targets.cpp ${CMAKE_CURRENT_LIST_DIR}/targets.h)
    prismel_layer_includes(prismel_fuzz_checker fuzz)
    target_link_libraries(prismel_fuzz_checker PUBLIC Prismel::core PRIVATE ICU::uc prismel_warnings)
endif()
