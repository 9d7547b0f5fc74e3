# The program's folders: where the data files are found, the logs written, the dialogs started.
target_sources(mrw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/qt_folders.cpp)
