target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/config.cpp ${CMAKE_CURRENT_LIST_DIR}/file_read.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/services.cpp ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
# The system's own half of reading a file; a Windows build brings file_read_windows.cpp.
if(NOT WIN32)
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/file_read_posix.cpp)
endif()
