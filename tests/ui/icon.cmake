# The application icon written as a Windows icon file.
mrw_add_qtest(test_app_icon SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_icon_test.cpp LIBS mrw_ui)
