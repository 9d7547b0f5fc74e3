# The File > Open Recent list.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/recent_files.cpp)
