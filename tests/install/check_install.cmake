# Installs the build tree into a scratch DESTDIR under /usr, as a package would, and checks that
# each file is where desktops look for it and that the files agree with one another.
# Arguments: BUILD_DIR, DEST, SITE_URL, WITH_GUI (ON when the prismel program is built), GZIP.
file(REMOVE_RECURSE ${DEST})
set(ENV{DESTDIR} ${DEST})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${result}): ${errors}")
endif()
set(root ${DEST}/usr)

set(expected
    bin/prismel-convert
    share/man/man1/prismel-convert.1.gz
    share/bash-completion/completions/prismel-convert
    share/doc/prismel/copyright
    share/doc/prismel/changelog.gz
    share/doc/prismel/README.md)
if(WITH_GUI)
    list(APPEND expected
         bin/prismel
         share/man/man1/prismel.1.gz
         share/applications/org.prismel.Prismel.desktop
         share/metainfo/org.prismel.Prismel.metainfo.xml
         share/icons/hicolor/32x32/apps/prismel.png
         share/icons/hicolor/48x48/apps/prismel.png
         share/icons/hicolor/scalable/apps/prismel.svg
         share/prismel/translations/prismel_en.qm)
endif()
foreach(path ${expected})
    if(NOT EXISTS ${root}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()

foreach(program prismel prismel-convert)
    if(EXISTS ${root}/bin/${program} AND NOT IS_DIRECTORY ${root}/bin/${program})
        file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${root}/bin/${program}
             UNRESOLVED_DEPENDENCIES_VAR unresolved)
        if(unresolved)
            message(FATAL_ERROR "${program} needs libraries that are not found: ${unresolved}")
        endif()
    endif()
endforeach()

# The installed converter reports the release everyone sees.
execute_process(COMMAND ${root}/bin/prismel-convert --version
                OUTPUT_VARIABLE version_line RESULT_VARIABLE result)
string(STRIP "${version_line}" version_line)
if(NOT result EQUAL 0 OR NOT version_line STREQUAL "prismel-convert 2.00")
    message(FATAL_ERROR "installed prismel-convert --version says '${version_line}' (${result})")
endif()

# The newest changelog entry is this release, so that the package's history matches its version.
execute_process(COMMAND ${GZIP} -dc ${root}/share/doc/prismel/changelog.gz
                OUTPUT_VARIABLE changelog RESULT_VARIABLE result)
string(REGEX MATCH "^[^\n]*" top_entry "${changelog}")
if(NOT result EQUAL 0 OR NOT top_entry MATCHES "^prismel \\(2\\.00\\) ")
    message(FATAL_ERROR "the installed changelog starts with '${top_entry}' (${result})")
endif()

if(NOT WITH_GUI)
    return()
endif()

# The icon named by the desktop entry exists in each size of the theme.
file(STRINGS ${root}/share/applications/org.prismel.Prismel.desktop icon_line REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon_name "${icon_line}")
if(NOT icon_name STREQUAL "prismel")
    message(FATAL_ERROR "the desktop entry names the icon '${icon_name}'")
endif()
foreach(theme_file 32x32/apps/${icon_name}.png 48x48/apps/${icon_name}.png
                   scalable/apps/${icon_name}.svg)
    if(NOT EXISTS ${root}/share/icons/hicolor/${theme_file})
        message(FATAL_ERROR "the desktop entry's icon is missing: ${theme_file}")
    endif()
endforeach()

# The metainfo file launches the installed desktop entry and carries the release version.
file(READ ${root}/share/metainfo/org.prismel.Prismel.metainfo.xml metainfo)
foreach(fragment
        "<id>org.prismel.Prismel</id>"
        "<launchable type=\"desktop-id\">org.prismel.Prismel.desktop</launchable>"
        "<release version=\"2.00\""
        "<url type=\"homepage\">${SITE_URL}</url>")
    string(FIND "${metainfo}" "${fragment}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the installed metainfo lacks ${fragment}")
    endif()
endforeach()
if(metainfo MATCHES "@[A-Z_]+@")
    message(FATAL_ERROR "the installed metainfo has an unconfigured ${CMAKE_MATCH_0}")
endif()
