target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/catalogue.cpp ${CMAKE_CURRENT_LIST_DIR}/model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_history.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_keys.cpp)
