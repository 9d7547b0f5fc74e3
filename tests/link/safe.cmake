# Programming with its safeguards against the in-process simulated radio.
mrw_add_gtest(test_safe_program SOURCES ${CMAKE_CURRENT_LIST_DIR}/safe_program_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/quick_program_test.cpp
    LIBS mrw_link mrw_sim)
