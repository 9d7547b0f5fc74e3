# The simulated radio: protocol engine, in-process port, and the pseudo-terminal simulator.
mrw_add_gtest(test_sim
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/radio_engine_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/sim_radio_test.cpp
    LIBS mrw_sim)
