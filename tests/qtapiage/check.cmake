# Runs the Qt API age check on its fixtures: newer.cpp must fail with exactly
# its three findings, older.cpp must pass in silence.
function(check_fixture fixture expected_result expected_output)
    execute_process(COMMAND ${CHECK} ${BUILD_DIR} ${fixture} WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT result STREQUAL expected_result OR NOT output STREQUAL expected_output)
        message(FATAL_ERROR "${fixture}: exit ${result} with\n${output}${errors}"
                            "expected exit ${expected_result} with\n${expected_output}")
    endif()
endfunction()

string(CONCAT newer_findings "newer.cpp:7: QImage::sizeInBytes (Qt 5.10)\n" "newer.cpp:12: QTimer::singleShot (Qt 5.4)\n"
       "newer.cpp:17: QString::asprintf (Qt 5.5)\n")
check_fixture(newer.cpp 1 "${newer_findings}")
check_fixture(older.cpp 0 "")
