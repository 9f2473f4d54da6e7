# The plugin file's defined dynamic symbols are Qt's two plugin entry points
# and the boundary symbols GNU ld defines in every shared object (__bss_start,
# _edata, _end): nothing of the plugin's own code.
cmake_minimum_required(VERSION 3.16)
execute_process(COMMAND ${NM} -D --defined-only ${PLUGIN} RESULT_VARIABLE result OUTPUT_VARIABLE listing
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${PLUGIN}: ${errors}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" symbols "${listing}")
string(REPLACE "\n" "" symbols "${symbols}")
list(SORT symbols)
set(expected __bss_start _edata _end qt_plugin_instance qt_plugin_query_metadata)
if(NOT symbols STREQUAL expected)
    message(FATAL_ERROR "${PLUGIN} exports\n${listing}expected only ${expected}")
endif()
