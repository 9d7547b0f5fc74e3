# The simulated radio: protocol engine, in-process port, and the pseudo-terminal simulator.
set(_mrw_sim_tests ${CMAKE_CURRENT_LIST_DIR}/radio_engine_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sim_radio_test.cpp)
if(UNIX)
    list(APPEND _mrw_sim_tests ${CMAKE_CURRENT_LIST_DIR}/radiosim_test.cpp)
endif()
mrw_add_gtest(test_sim SOURCES ${_mrw_sim_tests} LIBS mrw_sim)
if(UNIX)
    add_dependencies(test_sim mrw-radiosim)
endif()
