target_sources(mrw_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/report_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/report_print.cpp)
