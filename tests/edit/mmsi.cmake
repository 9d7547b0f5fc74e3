mrw_add_gtest(test_mmsi SOURCES ${CMAKE_CURRENT_LIST_DIR}/mmsi_info_test.cpp LIBS mrw_core)
