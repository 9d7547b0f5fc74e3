# Memory image primitives and the image <-> data model codec.
mrw_add_gtest(test_image SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_test.cpp LIBS mrw_core)
