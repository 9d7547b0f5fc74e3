# The directory list, the entry panel and the weather panel, driven through the main window.
mrw_add_qtest(test_directory_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/directory_editor_test.cpp
    LIBS mrw_ui)
