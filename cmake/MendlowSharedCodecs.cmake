# With BUILD_SHARED_LIBS the decoding entry is also one shared library,
# libmendlow_codecs.so or mendlow_codecs.dll, that exports the entry's C and
# C++ functions and nothing else. Its own objects are the two files that
# define them; the rest comes from the static libraries, which everything
# else (the program, the window class, the tests) links as always.
foreach(library mendlow_codecs mendlow_imagecore)
    set_target_properties(${library} PROPERTIES POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endforeach()

add_library(mendlow_codecs_shared SHARED ${PROJECT_SOURCE_DIR}/codecs/decode_entry.cpp
    ${PROJECT_SOURCE_DIR}/codecs/image_codecs_c.cpp)
target_link_libraries(mendlow_codecs_shared PRIVATE mendlow_codecs)
# Its users import the entry (mendlow/codecs_export.h).
target_compile_definitions(mendlow_codecs_shared PUBLIC MENDLOW_CODECS_SHARED PRIVATE MENDLOW_CODECS_BUILDING)
target_include_directories(mendlow_codecs_shared INTERFACE
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/codecs/public> $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(mendlow_codecs_shared PROPERTIES OUTPUT_NAME mendlow_codecs
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
if(WIN32)
    # mendlow_codecs.dll (its import library libmendlow_codecs.dll.a), with
    # the MinGW runtime inside: nothing else to ship beside it.
    set_target_properties(mendlow_codecs_shared PROPERTIES PREFIX "")
    target_link_options(mendlow_codecs_shared PRIVATE -static)
else()
    set(exports ${CMAKE_CURRENT_LIST_DIR}/mendlow_codecs.map)
    target_link_options(mendlow_codecs_shared PRIVATE LINKER:--no-undefined LINKER:--version-script=${exports})
    set_target_properties(mendlow_codecs_shared PROPERTIES LINK_DEPENDS ${exports})
endif()
