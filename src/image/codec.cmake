# Memory image, field primitives and the image <-> data model codec.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/image.cpp)
