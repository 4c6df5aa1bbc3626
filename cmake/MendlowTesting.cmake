# Registers a GoogleTest program with ctest. Natively each test case is its
# own ctest entry; under Wine a whole program is one entry, since every start
# of a Windows program costs a Wine process.
function(mendlow_add_gtest target)
    target_link_libraries(${target} PRIVATE gtest_main)
    if(WIN32)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
        add_test(NAME ${target} COMMAND ${target} ${ARGN})
    else()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
    endif()
endfunction()
