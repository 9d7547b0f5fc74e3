# The transfer dialog and the main window's transfer commands against the simulated radio.
mrw_add_qtest(test_transfer_dialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/transfer_dialog_test.cpp
    LIBS mrw_ui mrw_sim)
# The pseudo-terminal test runs the simulator program.
if(TARGET mrw-radiosim)
    add_dependencies(test_transfer_dialog mrw-radiosim)
endif()
