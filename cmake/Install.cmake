# Installs Prismel like any desktop program and packages it for Debian.
include(GNUInstallDirs)

set(PRISMEL_APP_ID "org.prismel.Prismel")
configure_file(${PROJECT_SOURCE_DIR}/data/${PRISMEL_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${PRISMEL_APP_ID}.metainfo.xml @ONLY)

foreach(program prismel prismel-convert)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

if(TARGET prismel)
    install(FILES ${PROJECT_SOURCE_DIR}/data/${PRISMEL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_BINARY_DIR}/data/${PRISMEL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 32 48)
        install(FILES ${PROJECT_SOURCE_DIR}/data/icons/prismel-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME prismel.png)
    endforeach()
endif()

# The Windows program carries the version resource and the icon.
set(PRISMEL_RC_ICON ${PROJECT_SOURCE_DIR}/data/windows/prismel.ico)
configure_file(${PROJECT_SOURCE_DIR}/data/windows/prismel.rc.in
               ${PROJECT_BINARY_DIR}/data/windows/prismel.rc @ONLY)
if(WIN32 AND TARGET prismel)
    target_sources(prismel PRIVATE ${PROJECT_BINARY_DIR}/data/windows/prismel.rc)
endif()

set(CPACK_PACKAGE_NAME "prismel")
set(CPACK_PACKAGE_VENDOR "The Prismel Developers")
set(CPACK_PACKAGE_VERSION "${PRISMEL_DISPLAY_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns plain text into rainbow-coloured forum and web markup")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PRISMEL_SITE_URL}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Prismel Developers <dev@prismel.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
include(CPack)
