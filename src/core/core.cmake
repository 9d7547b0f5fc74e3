target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/config.cpp ${CMAKE_CURRENT_LIST_DIR}/file_read.cpp
    ${CMAKE_CURRENT_LIST_DIR}/log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/services.cpp ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
