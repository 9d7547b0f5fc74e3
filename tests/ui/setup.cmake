# The setup panels driven like a user, the clear buttons against the simulated radio.
mrw_add_qtest(test_setup_panels SOURCES ${CMAKE_CURRENT_LIST_DIR}/setup_panels_test.cpp
    LIBS mrw_ui mrw_sim)
