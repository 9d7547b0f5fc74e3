mrw_add_gtest(test_link SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_test.cpp ${CMAKE_CURRENT_LIST_DIR}/transfer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_map_test.cpp ${CMAKE_CURRENT_LIST_DIR}/hex_dump_test.cpp
    LIBS mrw_link mrw_sim)
