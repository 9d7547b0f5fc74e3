mrw_add_qtest(test_report_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_window_test.cpp
    LIBS mrw_ui)
