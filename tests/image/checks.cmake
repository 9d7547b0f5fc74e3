mrw_add_gtest(test_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/checks_test.cpp LIBS mrw_core)
