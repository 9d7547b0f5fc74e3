# The transfer dialog and the main window's transfer commands against the simulated radio.
mrw_add_qtest(test_transfer_dialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/transfer_dialog_test.cpp
    LIBS mrw_ui mrw_sim)
