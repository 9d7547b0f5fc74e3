# Serial port selection rules.
mrw_add_gtest(test_ports SOURCES ${CMAKE_CURRENT_LIST_DIR}/ports_test.cpp LIBS mrw_link)
