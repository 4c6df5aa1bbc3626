# GoogleTest's header, compiled once for every test program: reading it was
# about a third of each test file's compile time.
file(WRITE ${PROJECT_BINARY_DIR}/gtest_header.cpp "")
add_library(mendlow_gtest_header STATIC ${PROJECT_BINARY_DIR}/gtest_header.cpp)
target_link_libraries(mendlow_gtest_header PRIVATE gtest)
target_precompile_headers(mendlow_gtest_header PRIVATE <gtest/gtest.h>)

# Registers a GoogleTest program with ctest. Natively each test case is its
# own ctest entry; under Wine a whole program is one entry, since every start
# of a Windows program costs a Wine process. Cross-compiled, a test program's
# files are compiled six to a unit (their helpers' names must differ), which
# saves reading windows.h and the test's own headers for each.
function(mendlow_add_gtest target)
    target_link_libraries(${target} PRIVATE gtest_main)
    target_precompile_headers(${target} REUSE_FROM mendlow_gtest_header)
    if(WIN32)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin
                              UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 6)
        add_test(NAME ${target} COMMAND ${target} ${ARGN})
    else()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
    endif()
endfunction()
