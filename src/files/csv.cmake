# Channel tables as CSV in CHIRP's layout: export, import and the CSV reader.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/csv_channels.cpp)
