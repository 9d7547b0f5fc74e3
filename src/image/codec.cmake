# Memory image, field primitives and the image <-> data model codec.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/image.cpp
    ${CMAKE_CURRENT_LIST_DIR}/channel_map.cpp ${CMAKE_CURRENT_LIST_DIR}/directory_map.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_map.cpp ${CMAKE_CURRENT_LIST_DIR}/codec.cpp)
