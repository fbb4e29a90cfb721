# A Debian package of the installed files: `cpack -G DEB` in the build directory, or the
# package_deb target, which builds the programs first.
set(CPACK_PACKAGE_NAME "prismel")
set(CPACK_PACKAGE_VENDOR "The Prismel Developers")
set(CPACK_PACKAGE_CONTACT "The Prismel Developers <dev@prismel.example.org>")
set(CPACK_PACKAGE_VERSION "${PRISMEL_DISPLAY_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns plain text into rainbow-coloured forum and web markup")
set(CPACK_PACKAGE_DESCRIPTION
    "Prismel wraps every character, or every run of characters, of a text in a\n"
    "colour tag, the colours running in a straight line from a start colour to an\n"
    "end colour. It writes HTML font tags, forum UBB tags or tags of your own.\n"
    "The package holds the window program prismel and prismel-convert for scripts.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "${PRISMEL_SITE_URL}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The library dependencies (Qt, the C++ runtime) come from dpkg-shlibdeps. The window's Chinese
# labels want a CJK font, emoji want a colour emoji font, and Qt's own dialogs speak Chinese only
# with Qt's translations; the program runs without any of them, so they are only recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET prismel)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
        "fonts-noto-cjk, fonts-noto-color-emoji, qt6-translations-l10n")
endif()
# Control files readable by all and owned by root, as dpkg makes them.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_PACKAGE_FILE_NAME "prismel-${PRISMEL_DISPLAY_VERSION}")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/" "/\\\\.cache/")

include(CPack)

set(PRISMEL_PACKAGED_PROGRAMS)
foreach(program prismel prismel-convert)
    if(TARGET ${program})
        list(APPEND PRISMEL_PACKAGED_PROGRAMS ${program})
    endif()
endforeach()
if(TARGET prismel_compressed_docs)
    list(APPEND PRISMEL_PACKAGED_PROGRAMS prismel_compressed_docs)
endif()
add_custom_target(package_deb
    COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${PROJECT_BINARY_DIR}/CPackConfig.cmake
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    DEPENDS ${PRISMEL_PACKAGED_PROGRAMS}
    COMMENT "Packing prismel_${PRISMEL_DISPLAY_VERSION} for Debian"
    USES_TERMINAL
    VERBATIM)
