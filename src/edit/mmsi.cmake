# The description of MMSI numbers and its table of Maritime Identification Digits.
# Turns data/mid.csv (MID,Allocated_to; names with commas quoted) into rows of a C++ table.
# Runs at configure time; editing the table re-runs it.
set(_mrw_mid_csv ${CMAKE_SOURCE_DIR}/data/mid.csv)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_mrw_mid_csv})
file(STRINGS ${_mrw_mid_csv} _mrw_mid_lines ENCODING UTF-8)
set(_mrw_mid_rows "")
foreach(line IN LISTS _mrw_mid_lines)
    if(line MATCHES "^([0-9][0-9][0-9]),\"?([^\"]*)\"?$")
        string(APPEND _mrw_mid_rows "    {${CMAKE_MATCH_1}, \"${CMAKE_MATCH_2}\"},\n")
    endif()
endforeach()
set(_mrw_generated ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${_mrw_generated})
file(CONFIGURE OUTPUT ${_mrw_generated}/mid_table.inc CONTENT "${_mrw_mid_rows}")
target_include_directories(mrw_core PRIVATE ${_mrw_generated})
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mmsi_info.cpp)
