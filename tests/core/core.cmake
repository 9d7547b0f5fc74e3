mrw_add_gtest(test_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_read_test.cpp LIBS mrw_core)
