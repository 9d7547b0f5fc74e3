target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_grid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_lists.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_table.cpp)
