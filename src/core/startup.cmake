# The start-up rules shared by the desktop program and mrw-cli: the command line, the model
# types global.ini offers, the window caption.
target_sources(mrw_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/startup.cpp)
