# mrw-cli diff and the guarded program against files and the simulated radio.
mrw_add_gtest(test_cli_safe SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_safe_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cli_quick_test.cpp
    LIBS mrw_cli_lib mrw_sim)
add_dependencies(test_cli_safe region_images)
