# Memory image primitives and the image <-> data model codec.
mrw_add_gtest(test_image SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_map_test.cpp ${CMAKE_CURRENT_LIST_DIR}/settings_map_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/codec_test.cpp LIBS mrw_core)
