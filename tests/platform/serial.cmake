# The QSerialPort adapter against the mrw-radiosim process over a real pseudo-terminal.
if(UNIX)
    mrw_add_gtest(test_serial SOURCES ${CMAKE_CURRENT_LIST_DIR}/serial_test.cpp
        LIBS mrw_platform mrw_link mrw_sim Qt6::Core Qt6::SerialPort)
    # The tests run the simulator and read the factory region default images.
    add_dependencies(test_serial mrw-radiosim region_images)
endif()
