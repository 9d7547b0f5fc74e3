# The desktop program's settings file (QSettings' INI text) without Qt, for mrw-cli.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ini_settings.cpp)
