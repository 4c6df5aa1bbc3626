# The package other programs find with find_package(Mendlow CONFIG): the
# static libraries, the public headers only, and the targets
#   Mendlow::Codecs      decoding pictures in memory (every platform)
#   Mendlow::AlphaImage  the MendlowAlphaImage window class (Windows)
# The same names exist inside this build, for the examples.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

add_library(mendlow_package_codecs INTERFACE)
target_link_libraries(mendlow_package_codecs INTERFACE mendlow_codecs mendlow_imagecore)
set_target_properties(mendlow_package_codecs PROPERTIES EXPORT_NAME Codecs)
add_library(Mendlow::Codecs ALIAS mendlow_package_codecs)
set(exported mendlow_common mendlow_codecs mendlow_imagecore mendlow_package_codecs)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/codecs/public/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

if(WIN32)
    add_library(mendlow_package_alpha_image INTERFACE)
    target_link_libraries(mendlow_package_alpha_image INTERFACE mendlow_alpha_image_window)
    set_target_properties(mendlow_package_alpha_image PROPERTIES EXPORT_NAME AlphaImage)
    add_library(Mendlow::AlphaImage ALIAS mendlow_package_alpha_image)
    list(APPEND exported mendlow_imagecontrol mendlow_alpha_image_window mendlow_package_alpha_image)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/imagecontrol/public/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()

install(TARGETS ${exported} EXPORT MendlowTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Mendlow)
install(EXPORT MendlowTargets NAMESPACE Mendlow:: DESTINATION ${config_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/MendlowConfig.cmake.in
    ${CMAKE_BINARY_DIR}/MendlowConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/MendlowConfigVersion.cmake VERSION 1.0
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/MendlowConfig.cmake ${CMAKE_BINARY_DIR}/MendlowConfigVersion.cmake
    DESTINATION ${config_dir})
