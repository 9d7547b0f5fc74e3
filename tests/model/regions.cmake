mrw_add_gtest(test_regions SOURCES ${CMAKE_CURRENT_LIST_DIR}/regions_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/factory_images_test.cpp LIBS mrw_core mrw_regiontables)
# The factory image tests read the generated images.
add_dependencies(test_regions region_images)
target_compile_definitions(test_regions PRIVATE MRW_DATA_DIR="${CMAKE_SOURCE_DIR}/data")
