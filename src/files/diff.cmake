# The difference listing between two configurations.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/config_diff.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_only.cpp)
