# The package other programs find with find_package(Mendlow CONFIG), with
# the static libraries, the public headers only, and the components
#   Codecs      Mendlow::Codecs, decoding pictures in memory (every platform;
#               with BUILD_SHARED_LIBS the one shared library)
#   AlphaImage  Mendlow::AlphaImage, the MendlowAlphaImage window class (Windows)
# The libraries behind them are exported as Mendlow::internal_*: not for
# direct use. Debug libraries end in "d", so that a Debug and a Release
# install share one prefix. The same names exist inside this build, for the
# examples and for projects that take Mendlow with add_subdirectory.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

add_library(mendlow_package_codecs INTERFACE)
set_target_properties(mendlow_package_codecs PROPERTIES EXPORT_NAME Codecs)
add_library(Mendlow::Codecs ALIAS mendlow_package_codecs)
set(static_codecs mendlow_common mendlow_codecs mendlow_imagecore)
if(BUILD_SHARED_LIBS)
    include(${CMAKE_CURRENT_LIST_DIR}/MendlowSharedCodecs.cmake)
    target_link_libraries(mendlow_package_codecs INTERFACE mendlow_codecs_shared)
    set(internal mendlow_codecs_shared)
else()
    target_link_libraries(mendlow_package_codecs INTERFACE mendlow_codecs mendlow_imagecore)
    set(internal ${static_codecs})
endif()
set(exported mendlow_package_codecs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/codecs/public/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_BINARY_DIR}/include/mendlow/version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mendlow)

if(WIN32)
    add_library(mendlow_package_alpha_image INTERFACE)
    target_link_libraries(mendlow_package_alpha_image INTERFACE mendlow_alpha_image_window)
    set_target_properties(mendlow_package_alpha_image PROPERTIES EXPORT_NAME AlphaImage)
    add_library(Mendlow::AlphaImage ALIAS mendlow_package_alpha_image)
    list(APPEND internal ${static_codecs} mendlow_imagecontrol mendlow_alpha_image_window)
    list(REMOVE_DUPLICATES internal)
    list(APPEND exported mendlow_package_alpha_image)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/imagecontrol/public/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()
foreach(target ${internal})
    string(REGEX REPLACE "^mendlow_" "internal_" name ${target})
    set_target_properties(${target} PROPERTIES EXPORT_NAME ${name} DEBUG_POSTFIX d)
endforeach()

install(TARGETS ${internal} ${exported} EXPORT MendlowTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Mendlow)
install(EXPORT MendlowTargets NAMESPACE Mendlow:: DESTINATION ${config_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/MendlowConfig.cmake.in
    ${PROJECT_BINARY_DIR}/MendlowConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/MendlowConfigVersion.cmake VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/MendlowConfig.cmake ${PROJECT_BINARY_DIR}/MendlowConfigVersion.cmake
    DESTINATION ${config_dir})
if(WIN32)
    # A Windows consumer builds with the toolchain the package was built with.
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake ${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake
                  ${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake DESTINATION ${config_dir})
endif()
