mrw_add_qtest(test_main_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
    LIBS mrw_ui)
