# What mrw-cli says about a serial port that does not open.
if(UNIX)
    mrw_add_gtest(test_cli_port SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_port_test.cpp
        LIBS mrw_cli_lib)
    add_dependencies(test_cli_port mrw-cli region_images)
endif()
