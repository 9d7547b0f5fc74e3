# Qt implementations of the prompt, clock and settings-store services.
target_sources(mrw_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/qt_prompt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_settings.cpp)
