# Builds one subsystem folder by convention, so that adding a file is enough:
#   <folder>/*.cpp                 portable code: both targets
#   <folder>/win32/*.cpp           Windows-only code
#   <folder>/native/*.cpp          native-only code (what Windows does differently)
#   <folder>/tests/*_test.cpp      portable tests: natively and under Wine
#   <folder>/tests/win32/*_test.cpp  Windows-only tests, under Wine
# The library is mendlow_<folder>; its tests are <folder>_tests and
# <folder>_win32_tests.
function(mendlow_subsystem folder)
    set(dir ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB portable CONFIGURE_DEPENDS ${dir}/*.cpp)
    set(sources ${portable})
    if(WIN32)
        file(GLOB windows_only CONFIGURE_DEPENDS ${dir}/win32/*.cpp)
        list(APPEND sources ${windows_only})
    else()
        file(GLOB native_only CONFIGURE_DEPENDS ${dir}/native/*.cpp)
        list(APPEND sources ${native_only})
    endif()

    set(library mendlow_${folder})
    if(sources)
        add_library(${library} STATIC ${sources})
        target_link_libraries(${library} PUBLIC mendlow_common ${ARGN})
    else()
        add_library(${library} INTERFACE)
        target_link_libraries(${library} INTERFACE mendlow_common ${ARGN})
    endif()

    if(MENDLOW_TESTS)
        file(GLOB tests CONFIGURE_DEPENDS ${dir}/tests/*_test.cpp)
        if(tests)
            add_executable(${folder}_tests ${tests})
            target_link_libraries(${folder}_tests PRIVATE ${library})
            mendlow_add_gtest(${folder}_tests)
        endif()
        if(WIN32)
            file(GLOB windows_tests CONFIGURE_DEPENDS ${dir}/tests/win32/*_test.cpp)
            if(windows_tests)
                add_executable(${folder}_win32_tests ${windows_tests})
                target_link_libraries(${folder}_win32_tests PRIVATE ${library})
                mendlow_add_gtest(${folder}_win32_tests)
            endif()
        endif()
    endif()
endfunction()
