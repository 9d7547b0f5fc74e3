# What a serial port is opened with; the system's own serial port of mrw-cli against the
# mrw-radiosim process over a real pseudo-terminal.
mrw_add_gtest(test_serial_line SOURCES ${CMAKE_CURRENT_LIST_DIR}/serial_line_test.cpp LIBS mrw_link)
if(UNIX)
    mrw_add_gtest(test_native_serial SOURCES ${CMAKE_CURRENT_LIST_DIR}/native_serial_test.cpp
        LIBS mrw_link mrw_sim)
    add_dependencies(test_native_serial mrw-radiosim region_images)
endif()
