# The channel list and the channel panel, driven through the main window.
mrw_add_qtest(test_channel_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/channel_editor_test.cpp
    LIBS mrw_ui)
