# The directory list and entry panel, the weather panel, the line that tells what an MMSI is,
# and the window's key rule for text boxes.
target_sources(mrw_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/directory_editor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mmsi_info_label.cpp
    ${CMAKE_CURRENT_LIST_DIR}/weather_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_keys.cpp)
