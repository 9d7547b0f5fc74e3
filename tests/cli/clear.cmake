# mrw-cli: clears that stop partway, backups that would replace a file, unwritable outputs.
mrw_add_gtest(test_cli_clear SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_clear_test.cpp
    LIBS mrw_cli_lib mrw_sim)
add_dependencies(test_cli_clear region_images)
