# The line parameters of a settings text, and mrw-cli's serial port through the system's API.
target_sources(mrw_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/serial_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/native_serial_port.cpp)
if(WIN32)
    target_sources(mrw_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/native_serial_port_windows.cpp)
else()
    target_sources(mrw_link PRIVATE ${CMAKE_CURRENT_LIST_DIR}/native_serial_port_posix.cpp)
endif()
