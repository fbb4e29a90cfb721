prismel_add_qtest(form1_test form1_test.cpp fakeplatform.h)
prismel_add_qtest(surfaces_test surfaces_test.cpp)
prismel_add_qtest(screenshot_test screenshot_test.cpp fakeplatform.h)
prismel_add_qtest(codemenu_test codemenu_test.cpp fakeplatform.h)
