# Channel tables as CSV; the export-then-import tests read the factory region images.
mrw_add_gtest(test_csv_channels SOURCES ${CMAKE_CURRENT_LIST_DIR}/csv_channels_test.cpp
    LIBS mrw_core)
add_dependencies(test_csv_channels region_images)
