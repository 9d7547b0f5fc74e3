mrw_add_gtest(test_report SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_test.cpp LIBS mrw_core)
# The factory configurations are read from the generated region default images.
if(TARGET region_images)
    add_dependencies(test_report region_images)
endif()
