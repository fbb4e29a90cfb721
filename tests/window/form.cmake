prismel_add_qtest(form1_test form1_test.cpp fakeplatform.h)
prismel_add_qtest(surfaces_test surfaces_test.cpp)
prismel_add_qtest(screenshot_test screenshot_test.cpp fakeplatform.h)
prismel_add_qtest(codemenu_test codemenu_test.cpp fakeplatform.h)
prismel_add_qtest(formats_test formats_test.cpp fakeplatform.h)
prismel_add_qtest(picture_test picture_test.cpp fakeplatform.h)
prismel_add_qtest(accesskeys_test accesskeys_test.cpp fakeplatform.h modalwatch.h)
prismel_add_qtest(openfile_test openfile_test.cpp fakeplatform.h)
prismel_add_qtest(convertrunner_test convertrunner_test.cpp)
prismel_add_qtest(barstops_test barstops_test.cpp fakeplatform.h modalwatch.h)
prismel_add_qtest(gradientmenu_test gradientmenu_test.cpp fakeplatform.h modalwatch.h)
prismel_add_qtest(gradienteditor_test gradienteditor_test.cpp fakeplatform.h modalwatch.h)

# The access keys once more with the English window and Qt's English items.
target_compile_definitions(accesskeys_test PRIVATE
                           PRISMEL_TRANSLATIONS_DIR="${PRISMEL_BUILD_TRANSLATIONS_DIR}")
add_test(NAME accesskeys_test_en COMMAND accesskeys_test)
set_tests_properties(accesskeys_test_en PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0;PRISMEL_TEST_LANGUAGE=en")

prismel_add_qtest(translations_test translations_test.cpp)
add_test(NAME translations_are_finished
         COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:Qt6::lupdate>
                 -DGENERATOR=${Qt6LinguistTools_DIR}/GenerateLUpdateProject.cmake
                 -DPROJECT=${PROJECT_BINARY_DIR}/.lupdate/prismel_window_project.cmake
                 -DTS=${PRISMEL_TS_FILES} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/translations
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/check_translations.cmake)
