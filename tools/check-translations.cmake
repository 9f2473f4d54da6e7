# Fails when a tr() text of the plugin has no finished translation in one of
# the catalogs, or a catalog holds a text the plugin no longer has.
#
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder>
#         -P tools/check-translations.cmake
#
# Each committed catalog is copied to WORK_DIR and brought up to date with the
# sources by lupdate, exactly as a translator would do it; every message that
# lupdate then marks unfinished (a new or changed text, or an empty
# translation) or vanished (a text the sources no longer hold) is reported.
# Catalogs are expected for at least Simplified Chinese and German.
cmake_minimum_required(VERSION 3.16)

foreach(required LUPDATE SOURCE_DIR WORK_DIR)
    if(NOT ${required})
        message(FATAL_ERROR "check-translations: ${required} is not set")
    endif()
endforeach()

set(catalog_dir ${SOURCE_DIR}/resources/translations)
foreach(language zh_CN de)
    if(NOT EXISTS ${catalog_dir}/updatetheme_${language}.ts)
        message(FATAL_ERROR "check-translations: no catalog updatetheme_${language}.ts in ${catalog_dir}")
    endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB catalogs ${catalog_dir}/*.ts)

set(problems 0)
foreach(catalog ${catalogs})
    get_filename_component(name ${catalog} NAME)
    file(COPY ${catalog} DESTINATION ${WORK_DIR})
    execute_process(COMMAND ${LUPDATE} plugin upgrade widgets -locations none -ts ${WORK_DIR}/${name}
                    WORKING_DIRECTORY ${SOURCE_DIR}
                    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "check-translations: lupdate failed on ${name}:\n${output}")
    endif()

    file(READ ${WORK_DIR}/${name} contents)
    set(context "")
    while(TRUE)
        string(FIND "${contents}" "<message" start)
        if(start EQUAL -1)
            break()
        endif()
        # The context a message belongs to is the last <name> before it.
        string(SUBSTRING "${contents}" 0 ${start} before)
        string(REGEX MATCHALL "<name>[^<]*</name>" names "${before}")
        if(names)
            list(GET names -1 context)
            string(REGEX REPLACE "</?name>" "" context "${context}")
        endif()
        string(SUBSTRING "${contents}" ${start} -1 contents)
        string(FIND "${contents}" "</message>" end)
        string(SUBSTRING "${contents}" 0 ${end} entry)
        math(EXPR next "${end} + 10")
        string(SUBSTRING "${contents}" ${next} -1 contents)

        string(REGEX MATCH "<source>([^<]*)</source>" source "${entry}")
        set(source "${CMAKE_MATCH_1}")
        if(entry MATCHES "type=\"unfinished\"" OR entry MATCHES "<translation>[ \t\r\n]*</translation>"
           OR entry MATCHES "<translation */>")
            message(SEND_ERROR "${name}: ${context}: \"${source}\" has no finished translation")
            math(EXPR problems "${problems} + 1")
        elseif(entry MATCHES "type=\"(vanished|obsolete)\"")
            message(SEND_ERROR "${name}: ${context}: \"${source}\" is no longer in the sources")
            math(EXPR problems "${problems} + 1")
        endif()
    endwhile()
endforeach()

if(problems GREATER 0)
    message(FATAL_ERROR "check-translations: ${problems} message(s) to fix in ${catalog_dir}")
endif()
list(LENGTH catalogs count)
message(STATUS "check-translations: ${count} catalog(s) translate every text of the plugin")
