mrw_add_gtest(test_cli SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp
    LIBS mrw_cli_lib mrw_sim)
add_dependencies(test_cli region_images)

if(UNIX)
    mrw_add_gtest(test_cli_pty SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_pty_test.cpp LIBS)
    add_dependencies(test_cli_pty mrw-cli mrw-radiosim region_images)
endif()
