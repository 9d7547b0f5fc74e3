mrw_add_gtest(test_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp
    LIBS mrw_cli_lib mrw_sim)
