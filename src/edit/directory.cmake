# The directory and weather rules, and what each MMSI of a configuration tells its user.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/directory_mmsi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/directory_rules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/weather_rules.cpp)
