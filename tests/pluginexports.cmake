# The plugin file's defined dynamic symbols are Qt's two plugin entry points
# and nothing else.
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND ${NM} -D --defined-only ${PLUGIN} RESULT_VARIABLE result OUTPUT_VARIABLE listing
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${PLUGIN}: ${errors}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" symbols "${listing}")
string(REPLACE "\n" "" symbols "${symbols}")
list(SORT symbols)
if(NOT symbols STREQUAL "qt_plugin_instance;qt_plugin_query_metadata")
    message(FATAL_ERROR "${PLUGIN} exports\n${listing}expected only qt_plugin_instance and qt_plugin_query_metadata")
endif()
