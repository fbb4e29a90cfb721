# Installs Prismel like any desktop program: the programs in bin, the desktop entry, the hicolor
# icons and the AppStream metadata in their XDG places, the manual pages and the changelog. On
# Windows the program carries the version resource and the icon instead.
include(GNUInstallDirs)

# The day of this release, shown by the metainfo file and the manual pages.
set(PRISMEL_RELEASE_DATE "2026-12-07")
# Packages are unpacked as root whatever the builder's umask was.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The desktop entry, the metainfo file and the Wayland app id share this name.
set(PRISMEL_APP_ID "org.prismel.Prismel")
set(PRISMEL_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

configure_file(${PRISMEL_DATA_DIR}/${PRISMEL_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${PRISMEL_APP_ID}.metainfo.xml @ONLY)

foreach(program prismel prismel-convert)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

if(TARGET prismel)
    install(FILES ${PRISMEL_DATA_DIR}/${PRISMEL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_BINARY_DIR}/data/${PRISMEL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 32 48)
        install(FILES ${PRISMEL_DATA_DIR}/icons/prismel-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME prismel.png)
    endforeach()
    install(FILES ${PRISMEL_DATA_DIR}/icons/prismel.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

if(TARGET prismel-convert)
    # Where bash-completion looks for a command's completion when it is first needed.
    install(FILES ${PRISMEL_DATA_DIR}/completion/prismel-convert
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

# Lower-case on purpose: Debian looks for the copyright notice in /usr/share/doc/<package>.
set(PRISMEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/prismel)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${PRISMEL_DOC_DIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${PRISMEL_DOC_DIR})

# Manual pages and the changelog go out compressed as Debian wants them: gzip -9, and -n so that
# no file name or time stamp makes two builds of one release differ.
if(UNIX)
    find_program(GZIP_PROGRAM gzip REQUIRED)
    set(compressed)
    set(man_pages)
    foreach(program prismel prismel-convert)
        if(TARGET ${program})
            configure_file(${PRISMEL_DATA_DIR}/man/${program}.1.in
                           ${PROJECT_BINARY_DIR}/data/man/${program}.1 @ONLY)
            list(APPEND man_pages ${PROJECT_BINARY_DIR}/data/man/${program}.1.gz)
        endif()
    endforeach()
    configure_file(${PRISMEL_DATA_DIR}/debian/changelog ${PROJECT_BINARY_DIR}/data/changelog
                   COPYONLY)
    foreach(gz ${man_pages} ${PROJECT_BINARY_DIR}/data/changelog.gz)
        string(REGEX REPLACE "\\.gz$" "" plain ${gz})
        add_custom_command(OUTPUT ${gz}
                           COMMAND ${GZIP_PROGRAM} -9 -n -k -f ${plain}
                           DEPENDS ${plain}
                           VERBATIM)
        list(APPEND compressed ${gz})
    endforeach()
    add_custom_target(prismel_compressed_docs ALL DEPENDS ${compressed})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # A native package: its one changelog is the Debian changelog.
    install(FILES ${PROJECT_BINARY_DIR}/data/changelog.gz DESTINATION ${PRISMEL_DOC_DIR})
endif()

# The resource is configured on every platform so that the test can compile it anywhere.
set(PRISMEL_RC_ICON ${PRISMEL_DATA_DIR}/windows/prismel.ico)
configure_file(${PRISMEL_DATA_DIR}/windows/prismel.rc.in
               ${PROJECT_BINARY_DIR}/data/windows/prismel.rc @ONLY)
if(WIN32 AND TARGET prismel)
    enable_language(RC)
    target_sources(prismel PRIVATE ${PROJECT_BINARY_DIR}/data/windows/prismel.rc)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake)
