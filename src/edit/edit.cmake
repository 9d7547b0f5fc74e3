target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_grid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_lists.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_table.cpp)
# The setup panels' rules: list contents and storing, entry boxes, auto position.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/setup_autopos.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_entry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_lists.cpp)
# After a clear in the radio: what it erased, emptied in the data model too.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/cleared_data.cpp)
