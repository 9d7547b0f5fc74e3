mrw_add_qtest(test_main_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
    LIBS mrw_ui)
# Entries being typed and the priority channel, kept through Exit, New, Open and DELETE.
mrw_add_qtest(test_kept_edits SOURCES ${CMAKE_CURRENT_LIST_DIR}/kept_edits_test.cpp
    LIBS mrw_ui)
# The window's own pauses around a load, on its clock.
mrw_add_qtest(test_hold_busy SOURCES ${CMAKE_CURRENT_LIST_DIR}/hold_busy_test.cpp LIBS mrw_ui)
