# The radio's memory as a whole: read without taking it over, and as programming leaves it.
target_sources(mrw_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/radio_image.cpp)
