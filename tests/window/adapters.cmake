prismel_add_qtest(qtcolordialog_test qtcolordialog_test.cpp modalwatch.h)
prismel_add_qtest(qtclipboard_test qtclipboard_test.cpp)
prismel_add_qtest(qtmessageboxes_test qtmessageboxes_test.cpp modalwatch.h)
prismel_add_qtest(qturlopener_test qturlopener_test.cpp)
prismel_add_qtest(browserpane_test browserpane_test.cpp)

if(PRISMEL_WEBENGINE)
    # The pane's test looks at the embedded view itself. Chromium's sandbox refuses to run as
    # root, which CI containers are.
    target_link_libraries(browserpane_test PRIVATE Qt6::WebEngineWidgets)
    set_property(TEST browserpane_test APPEND PROPERTY ENVIRONMENT QTWEBENGINE_DISABLE_SANDBOX=1)
endif()
