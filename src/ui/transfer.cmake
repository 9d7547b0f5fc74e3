# The transfer dialog and the main window's transfer commands.
target_sources(mrw_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/transfer_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transfer_command.cpp)
