# The setup panels: usable channel groups, common, DSC with auto position, ATIS.
target_sources(mrw_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/setup_dsc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_panels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_widgets.cpp)
