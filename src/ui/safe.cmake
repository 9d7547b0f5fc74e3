# Programming's safeguards in the main window: the preview, the Options entries and the restore.
target_sources(mrw_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/program_preview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/safe_program_command.cpp)
