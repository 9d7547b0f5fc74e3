# File > Import Channels from CSV… and Export Channels to CSV…, driven through the main window.
mrw_add_qtest(test_channel_csv SOURCES ${CMAKE_CURRENT_LIST_DIR}/channel_csv_test.cpp LIBS mrw_ui)
