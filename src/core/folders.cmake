# Where the data files are found, where the logs go, where the file dialogs start.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/folders.cpp)
