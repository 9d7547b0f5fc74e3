mrw_add_qtest(test_main_window SOURCES ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
    LIBS mrw_ui)
# Entries being typed and the priority channel, kept through Exit, New, Open and DELETE.
mrw_add_qtest(test_kept_edits SOURCES ${CMAKE_CURRENT_LIST_DIR}/kept_edits_test.cpp
    LIBS mrw_ui)
# File > Open Recent, the start-up file, dropped files, and the user's own defaults.
mrw_add_qtest(test_file_menu SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_menu_test.cpp LIBS mrw_ui)
