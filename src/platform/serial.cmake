# The serial port adapter over QSerialPort and the list of present serial devices; whether the
# system refuses a device to this user is asked of the system itself.
target_sources(mrw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/qt_serial_port.cpp)
if(WIN32)
    target_sources(mrw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/serial_access_windows.cpp)
else()
    target_sources(mrw_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/serial_access_posix.cpp)
endif()
target_link_libraries(mrw_platform PUBLIC mrw_link)
