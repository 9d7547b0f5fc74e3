# The File menu's channel list commands (CSV in CHIRP's layout).
target_sources(mrw_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/channel_csv.cpp)
