# The help window on the user guide of the source tree.
mrw_add_qtest(test_help_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_window_test.cpp
    LIBS mrw_ui mrw_sim)
