# The radio's memory as a whole, and programming with a backup read before it, a preview and a
# verify read after it.
target_sources(mrw_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/radio_image.cpp
    ${CMAKE_CURRENT_LIST_DIR}/safe_program.cpp)
