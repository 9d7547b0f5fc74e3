# The settings file of the desktop program read and written without Qt.
mrw_add_gtest(test_ini_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/ini_settings_test.cpp LIBS mrw_core)
