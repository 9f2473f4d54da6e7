# The plugin file's defined dynamic symbols are Qt's two plugin entry points:
# nothing of the plugin's own code. The native GNU ld also lists the bounds of
# the data it places in every shared object (__bss_start, _edata, _end); they
# name no code and are not counted.
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND ${NM} -D --defined-only ${PLUGIN} RESULT_VARIABLE result OUTPUT_VARIABLE listing
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${PLUGIN}: ${errors}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" symbols "${listing}")
string(REPLACE "\n" "" symbols "${symbols}")
list(REMOVE_ITEM symbols __bss_start _edata _end)
list(SORT symbols)
if(NOT symbols STREQUAL "qt_plugin_instance;qt_plugin_query_metadata")
    message(FATAL_ERROR "${PLUGIN} exports\n${listing}expected only qt_plugin_instance and qt_plugin_query_metadata")
endif()
