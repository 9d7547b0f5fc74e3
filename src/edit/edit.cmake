target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/edit.cpp)
