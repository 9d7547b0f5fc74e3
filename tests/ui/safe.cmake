# Programming's safeguards in the main window: preview, Options entries, restore.
mrw_add_qtest(test_safe_program_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/safe_program_test.cpp
    LIBS mrw_ui mrw_sim)
# The Options entry that makes programming write every block.
mrw_add_qtest(test_quick_program_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/quick_program_ui_test.cpp
    LIBS mrw_ui mrw_sim)
