# Installs the build tree into a scratch prefix and checks that each file is where desktops
# look for it.
file(REMOVE_RECURSE ${DEST})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${DEST}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
        bin/prismel
        bin/prismel-convert
        share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml
        share/icons/hicolor/32x32/apps/prismel.png
        share/icons/hicolor/48x48/apps/prismel.png)
    if(NOT EXISTS ${DEST}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
