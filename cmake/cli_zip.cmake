# The command line for Windows as one zip, mrw-cli-<version>-win64.zip: a folder holding
# mrw-cli.exe, the data files it finds beside itself (global.ini, the factory region images)
# and the README. Built by the target cli-zip of a Windows build.
set(MRW_CLI_ZIP_NAME mrw-cli-${PROJECT_VERSION}-win64)
set(MRW_CLI_ZIP_DIR ${CMAKE_BINARY_DIR}/${MRW_CLI_ZIP_NAME})
add_custom_target(cli-zip
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${MRW_CLI_ZIP_DIR} ${MRW_CLI_ZIP_DIR}.zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MRW_CLI_ZIP_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:mrw-cli> ${MRW_BIN_DIR}/global.ini
        ${MRW_REGION_IMAGES} ${CMAKE_SOURCE_DIR}/README.md ${MRW_CLI_ZIP_DIR}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${MRW_CLI_ZIP_NAME}.zip --format=zip ${MRW_CLI_ZIP_NAME}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS mrw-cli region_images
    COMMENT "Packing ${MRW_CLI_ZIP_NAME}.zip"
    VERBATIM)
