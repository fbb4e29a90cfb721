# Formats each manual page with every groff warning turned on and fails on any warning, then checks
# that the converter's page documents every option its --help lists and names this release.
# Arguments: GROFF, PAGES (the configured pages, '|'-separated), CONVERT (prismel-convert), VERSION.
string(REPLACE "|" ";" PAGES "${PAGES}")
foreach(page ${PAGES})
    get_filename_component(name ${page} NAME)
    # -k reads the page as UTF-8; -Tutf8 because the window's page names Chinese labels, which
    # only a Unicode device can set.
    execute_process(COMMAND ${GROFF} -k -man -ww -z -Tutf8 ${page}
                    RESULT_VARIABLE result ERROR_VARIABLE warnings)
    if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
        message(FATAL_ERROR "groff finds fault with ${name} (${result}):\n${warnings}")
    endif()
    file(READ ${page} text)
    if(text MATCHES "@[A-Z_]+@")
        message(FATAL_ERROR "${name} has an unconfigured ${CMAKE_MATCH_0}")
    endif()
    if(NOT text MATCHES "\n\\.TH [^\n]*\"Prismel ${VERSION}\"")
        message(FATAL_ERROR "the title line of ${name} does not name Prismel ${VERSION}")
    endif()
endforeach()

list(FILTER PAGES INCLUDE REGEX "/prismel-convert\\.1$")
file(READ ${PAGES} page)
execute_process(COMMAND ${CONVERT} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "prismel-convert --help failed (${result})")
endif()
# Names may hold hyphens (--per-line).
string(REGEX MATCHALL "--[a-z][a-z-]*" options "${help}")
list(REMOVE_DUPLICATES options)
foreach(option ${options})
    # Each option heads an entry of its own under OPTIONS: ".TP", then the option in bold.
    string(REPLACE "-" "\\\\-" escaped "${option}")
    if(NOT page MATCHES "\n\\.TP\n\\.B[IR]? ${escaped}[ \n]")
        message(FATAL_ERROR "--help lists ${option}, but the manual page does not document it")
    endif()
endforeach()
