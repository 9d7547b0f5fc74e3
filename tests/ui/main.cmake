mrw_add_qtest(test_main_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp ${CMAKE_CURRENT_LIST_DIR}/main_test_main.cpp
    LIBS mrw_ui)
