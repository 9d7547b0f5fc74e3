target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/config.cpp ${CMAKE_CURRENT_LIST_DIR}/file_read.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/services.cpp ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
# The system's own halves: reading a file, calendar time, the system's error numbers.
if(WIN32)
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/file_read_windows.cpp
        ${CMAKE_CURRENT_LIST_DIR}/calendar_windows.cpp
        ${CMAKE_CURRENT_LIST_DIR}/system_windows.cpp)
else()
    target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/file_read_posix.cpp
        ${CMAKE_CURRENT_LIST_DIR}/calendar_posix.cpp)
endif()
