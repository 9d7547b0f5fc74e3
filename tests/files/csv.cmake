# Channel tables as CSV.
mrw_add_gtest(test_csv_channels SOURCES ${CMAKE_CURRENT_LIST_DIR}/csv_channels_test.cpp
    LIBS mrw_core)
