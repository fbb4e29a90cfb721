# Installs Prismel like any desktop program: the programs in bin, the desktop entry, the hicolor
# icons and the AppStream metadata in their XDG places. On Windows the program carries the version
# resource and the icon instead.
include(GNUInstallDirs)

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

# Lower-case on purpose: Debian looks for the copyright notice in /usr/share/doc/<package>.
set(PRISMEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/prismel)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${PRISMEL_DOC_DIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${PRISMEL_DOC_DIR})

# The resource is configured on every platform so that the test can compile it anywhere.
set(PRISMEL_RC_ICON ${PRISMEL_DATA_DIR}/windows/prismel.ico)
configure_file(${PRISMEL_DATA_DIR}/windows/prismel.rc.in
               ${PROJECT_BINARY_DIR}/data/windows/prismel.rc @ONLY)
if(WIN32 AND TARGET prismel)
    enable_language(RC)
    target_sources(prismel PRIVATE ${PROJECT_BINARY_DIR}/data/windows/prismel.rc)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake)
