# The main window, its commands, the About box and the help window.
target_sources(mrw_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/about_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/app_icon.cpp
    ${CMAKE_CURRENT_LIST_DIR}/category_tree.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fixed_font.cpp
    ${CMAKE_CURRENT_LIST_DIR}/focus_refusal.cpp
    ${CMAKE_CURRENT_LIST_DIR}/help_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_commands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pending_edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/placement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wheel_scroll.cpp)
# The hex dump lines and, later, the transfer operations come from the link library.
target_link_libraries(mrw_ui PUBLIC mrw_link)
