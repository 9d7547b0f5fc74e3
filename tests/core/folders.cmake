mrw_add_gtest(test_folders SOURCES ${CMAKE_CURRENT_LIST_DIR}/folders_test.cpp LIBS mrw_core)
