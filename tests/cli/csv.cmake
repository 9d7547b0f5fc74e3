# export-csv and import-csv in-process, on copies of the factory region images.
# The file commands take no pause of the desktop window (cli_nowait_test.cpp).
mrw_add_gtest(test_csv_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/csv_cli_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_nowait_test.cpp LIBS mrw_cli_lib mrw_sim)
add_dependencies(test_csv_cli region_images)
