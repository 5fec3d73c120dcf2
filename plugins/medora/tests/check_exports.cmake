# Fails unless MODULE exports exactly the six functions medora answers.
find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${MODULE}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "(^|\n)[^ \n]+" names "${symbols}")
list(TRANSFORM names STRIP)
list(SORT names)
set(wanted PIN_GetListingCounts PIN_GetPluginName PIN_GetSearchUrl PIN_GetServerName
    PIN_MergeDownloadFiles PIN_SetupOption)
if(NOT names STREQUAL wanted)
    message(FATAL_ERROR "medora exports ${names}; wanted ${wanted}")
endif()
