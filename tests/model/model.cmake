mrw_add_gtest(test_model SOURCES ${CMAKE_CURRENT_LIST_DIR}/catalogue_test.cpp
    LIBS mrw_core)
