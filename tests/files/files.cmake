mrw_add_gtest(test_files SOURCES ${CMAKE_CURRENT_LIST_DIR}/atomic_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_parse_test.cpp ${CMAKE_CURRENT_LIST_DIR}/settings_write_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_read_test.cpp ${CMAKE_CURRENT_LIST_DIR}/hex_file_test.cpp
    LIBS mrw_core)
