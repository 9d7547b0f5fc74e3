# The directory and weather rules, and the MMSI lines of a configuration.
mrw_add_gtest(test_directory_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/directory_rules_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/directory_mmsi_test.cpp LIBS mrw_core)
