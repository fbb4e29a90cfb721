target_sources(prismel_window PRIVATE
    qtclipboard.h qtclipboard.cpp
    qtmessageboxes.h qtmessageboxes.cpp
    qtnumberdialog.h qtnumberdialog.cpp
    qturlopener.h qturlopener.cpp
    qtcolor.h qtcolor.cpp
    qtcolordialog.h qtcolordialog.cpp
    browserpane.h browserpane.cpp)

# The browser pane embeds Qt WebEngine only when asked; the default build stays light.
if(PRISMEL_WEBENGINE)
    find_package(Qt6 REQUIRED COMPONENTS WebEngineWidgets)
    target_link_libraries(prismel_window PRIVATE Qt6::WebEngineWidgets)
    target_compile_definitions(prismel_window PUBLIC PRISMEL_WITH_WEBENGINE)
endif()
