# The difference listing between two configurations (reads the factory region images).
mrw_add_gtest(test_config_diff SOURCES ${CMAKE_CURRENT_LIST_DIR}/config_diff_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_only_test.cpp
    LIBS mrw_core)
add_dependencies(test_config_diff region_images)
