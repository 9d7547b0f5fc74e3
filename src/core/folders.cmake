# Where the data files are found, where the logs go, where the file dialogs start.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/folders.cpp)
# The folders and the settings file of the running program without a toolkit (mrw-cli).
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/native_folders.cpp)
if(WIN32)
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/native_folders_windows.cpp)
    # SHGetKnownFolderPath, CoTaskMemFree and the FOLDERID constants.
    target_link_libraries(mrw_core PUBLIC shell32 ole32 uuid)
else()
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/native_folders_posix.cpp)
endif()
