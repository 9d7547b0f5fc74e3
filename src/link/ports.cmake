# Serial port selection: port numbers, menu captions and the persisted choice.
target_sources(mrw_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ports.cpp)
