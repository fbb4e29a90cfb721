# The main window, its controls and its two drawing surfaces.
target_sources(prismel_window PRIVATE
    codemenu.h codemenu.cpp
    controltable.h controltable.cpp
    digitfilter.h digitfilter.cpp
    twips.h
    fonts.h fonts.cpp
    form1.h form1.cpp
    convertrunner.h convertrunner.cpp
    selectallonfocus.h selectallonfocus.cpp
    gradientbarwidget.h gradientbarwidget.cpp
    previewwidget.h previewwidget.cpp)

# The publisher's names and addresses, escaped for a C++ string literal.
foreach(setting SITE_NAME SITE_URL FORUM_URL CONTACT_LINE APP_TITLE DISPLAY_VERSION)
    string(REPLACE "\\" "\\\\" escaped "${PRISMEL_${setting}}")
    string(REPLACE "\"" "\\\"" escaped "${escaped}")
    set(PRISMEL_CONFIG_${setting} "${escaped}")
endforeach()
# Generated beside the link to the sources, so "window/config.h" resolves like any other header.
set(prismel_config_dir ${PROJECT_BINARY_DIR}/include/window-config)
configure_file(config.h.in ${prismel_config_dir}/window/config.h @ONLY)
target_sources(prismel_window PRIVATE ${prismel_config_dir}/window/config.h)
target_include_directories(prismel_window PUBLIC ${prismel_config_dir})

# The window icon, built into the library so that the program and the tests both have it.
set(prismel_icon_files
    ${PROJECT_SOURCE_DIR}/data/icons/prismel-32.png
    ${PROJECT_SOURCE_DIR}/data/icons/prismel-48.png)
foreach(icon ${prismel_icon_files})
    get_filename_component(icon_name ${icon} NAME)
    set_source_files_properties(${icon} PROPERTIES QT_RESOURCE_ALIAS ${icon_name})
endforeach()
qt_add_resources(prismel_window prismel_icons PREFIX /prismel/icons FILES ${prismel_icon_files})
