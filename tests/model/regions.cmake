mrw_add_gtest(test_regions SOURCES ${CMAKE_CURRENT_LIST_DIR}/regions_test.cpp LIBS mrw_core)
