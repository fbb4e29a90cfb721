# Packs the build tree with CPack's DEB generator into a scratch directory and checks the control
# fields and the file list of the package.
# Arguments: CPACK, CONFIG (the build's CPackConfig.cmake), DEST, DPKG_DEB, WITH_GUI.
file(REMOVE_RECURSE ${DEST})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${DEST}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cpack failed (${result}):\n${output}\n${errors}")
endif()
file(GLOB packages ${DEST}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages: ${packages}")
endif()
get_filename_component(package_name ${packages} NAME)
if(NOT package_name MATCHES "^prismel_2\\.00_[a-z0-9]+\\.deb$")
    message(FATAL_ERROR "unexpected package file name ${package_name}")
endif()

function(control_field field out)
    execute_process(COMMAND ${DPKG_DEB} --field ${packages} ${field}
                    OUTPUT_VARIABLE value RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "dpkg-deb cannot read ${field}")
    endif()
    string(STRIP "${value}" value)
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# field | exact value, or a regular expression when it starts with ^
set(fields
    "Package|prismel"
    "Version|2.00"
    "Section|utils"
    "Priority|optional"
    "Maintainer|The Prismel Developers <dev@prismel.example.org>"
    "Homepage|^https?://"
    "Depends|^(.+, )?libc6 ")
if(WITH_GUI)
    list(APPEND fields
         "Depends|^(.+, )?libqt6widgets6 "
         "Depends|^(.+, )?libstdc\\+\\+6 "
         "Recommends|fonts-noto-cjk, fonts-noto-color-emoji, qt6-translations-l10n")
endif()
foreach(row ${fields})
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 field)
    list(GET row 1 wanted)
    control_field(${field} value)
    if(wanted MATCHES "^\\^")
        if(NOT value MATCHES "${wanted}")
            message(FATAL_ERROR "${field} is '${value}', which does not match ${wanted}")
        endif()
    elseif(NOT value STREQUAL wanted)
        message(FATAL_ERROR "${field} is '${value}', not '${wanted}'")
    endif()
endforeach()

execute_process(COMMAND ${DPKG_DEB} --contents ${packages} OUTPUT_VARIABLE contents
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb cannot list the package")
endif()
set(expected
    ./usr/bin/prismel-convert
    ./usr/share/man/man1/prismel-convert.1.gz
    ./usr/share/doc/prismel/copyright
    ./usr/share/doc/prismel/changelog.gz)
if(WITH_GUI)
    list(APPEND expected
         ./usr/bin/prismel
         ./usr/share/man/man1/prismel.1.gz
         ./usr/share/applications/org.prismel.Prismel.desktop
         ./usr/share/metainfo/org.prismel.Prismel.metainfo.xml
         ./usr/share/icons/hicolor/32x32/apps/prismel.png
         ./usr/share/icons/hicolor/48x48/apps/prismel.png
         ./usr/share/icons/hicolor/scalable/apps/prismel.svg
         ./usr/share/prismel/translations/prismel_en.qm)
endif()
foreach(path ${expected})
    string(REGEX REPLACE "([.+])" "\\\\\\1" pattern "${path}")
    if(NOT contents MATCHES " ${pattern}\n")
        message(FATAL_ERROR "the package lacks ${path}:\n${contents}")
    endif()
endforeach()
# Nothing from the build machine's prefix may leak in.
if(contents MATCHES "/usr/local/|/work/|/build/")
    message(FATAL_ERROR "the package holds a build path: ${CMAKE_MATCH_0}\n${contents}")
endif()
