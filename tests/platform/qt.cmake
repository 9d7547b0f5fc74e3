mrw_add_qtest(test_qt_services SOURCES ${CMAKE_CURRENT_LIST_DIR}/qt_services_test.cpp
    LIBS mrw_platform)
