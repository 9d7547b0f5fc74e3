# The channel list and the channel panel.
target_sources(mrw_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/channel_editor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_widgets.cpp)
