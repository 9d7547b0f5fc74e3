# The serial port adapter over QSerialPort and the list of present serial devices.
target_sources(mrw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/qt_serial_port.cpp)
target_link_libraries(mrw_platform PUBLIC mrw_link)
