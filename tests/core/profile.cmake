mrw_add_gtest(test_profile SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_test.cpp LIBS mrw_core)
