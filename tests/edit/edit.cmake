mrw_add_gtest(test_edit SOURCES ${CMAKE_CURRENT_LIST_DIR}/edit_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_panel_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_table_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/kept_values_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/refusal_test.cpp LIBS mrw_core)
mrw_add_gtest(test_setup_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/setup_rules_test.cpp LIBS mrw_core)
# The data model after a clear in the radio.
target_sources(test_edit PRIVATE ${CMAKE_CURRENT_LIST_DIR}/cleared_data_test.cpp)
