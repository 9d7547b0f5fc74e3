# What the serial port adapter says about a device that does not open.
if(UNIX)
    mrw_add_gtest(test_serial_access SOURCES ${CMAKE_CURRENT_LIST_DIR}/serial_access_test.cpp
        LIBS mrw_platform Qt6::Core Qt6::SerialPort)
endif()
