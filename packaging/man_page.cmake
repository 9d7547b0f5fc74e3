# Writes a manual page from its template, putting the program's own --help text where the
# template says @HELP@, so that the page never disagrees with the program.
#
#   cmake -DPROGRAM=path -DTEMPLATE=mrw.1.in -DOUTPUT=mrw.1 -DVERSION=1.0.0 -P man_page.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE HELP RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
# roff: a backslash is written \e, a minus sign \-; a line starting with a dot or quote would
# be taken as a request.
string(REPLACE "\\" "\\e" HELP "${HELP}")
string(REPLACE "-" "\\-" HELP "${HELP}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" HELP "${HELP}")
string(REGEX REPLACE "\n+$" "" HELP "${HELP}")
# The date of the page follows SOURCE_DATE_EPOCH when it is set, for reproducible packages.
string(TIMESTAMP DATE "%Y-%m-%d" UTC)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
