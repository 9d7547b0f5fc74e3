target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/atomic_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hex_file.cpp ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/user_defaults.cpp)
# The system's half of the atomic save.
if(WIN32)
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/atomic_file_windows.cpp)
else()
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/atomic_file_posix.cpp)
endif()
