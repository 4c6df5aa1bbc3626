# Fails when docs/alpha-image.md differs from what the reference tool writes.
execute_process(COMMAND ${TOOL} ${HEADER} OUTPUT_VARIABLE written RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the reference tool failed (${status})")
endif()
file(READ ${REFERENCE} kept)
if(NOT written STREQUAL kept)
    message(FATAL_ERROR "${REFERENCE} is not what the member table and the window header say: write it again with\n"
        "  build/native/tools/alpha_image_reference ${HEADER} > ${REFERENCE}")
endif()
