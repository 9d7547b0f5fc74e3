# The simulated radio: its protocol engine and in-process port (as a process: tests/cli).
set(_mrw_sim_tests ${CMAKE_CURRENT_LIST_DIR}/radio_engine_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_radio_test.cpp)
mrw_add_gtest(test_sim SOURCES ${_mrw_sim_tests} LIBS mrw_sim)
