# The contract SDK for host programs: the contract header, a CMake package
# (find_package(updatetheme 0.1 CONFIG) gives the interface target
# updatetheme::contract and updatetheme_PLUGIN_FILE) and a pkg-config file.
#
#   <prefix>/<includedir>/updatetheme/updateinterface.h
#   <prefix>/<libdir>/cmake/updatetheme/   updatethemeConfig.cmake, its version file and targets
#   <prefix>/<libdir>/pkgconfig/updatetheme.pc
#
# A package of the same minor version is compatible: the minor version names
# the contract ("updatetheme/0.1").
include(CMakePackageConfigHelpers)

set(sdk_include_dir ${CMAKE_INSTALL_INCLUDEDIR}/updatetheme)
set(sdk_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/updatetheme)

# The build's contract target, exported with the installed header's folder.
set_target_properties(updatetheme_contract PROPERTIES EXPORT_NAME contract)
target_include_directories(updatetheme_contract INTERFACE $<INSTALL_INTERFACE:${sdk_include_dir}>)
target_link_libraries(updatetheme_contract INTERFACE Qt5::Widgets)
install(TARGETS updatetheme_contract EXPORT updatethemeTargets COMPONENT sdk)
install(EXPORT updatethemeTargets NAMESPACE updatetheme:: DESTINATION ${sdk_cmake_dir} COMPONENT sdk)
install(FILES ${PROJECT_SOURCE_DIR}/contract/updateinterface.h DESTINATION ${sdk_include_dir} COMPONENT sdk)

# Where the host finds the plugin at run time: a device path, absolute, so it
# does not move with a staging folder.
if(IS_ABSOLUTE "${UPDATETHEME_PLUGIN_INSTALL_DIR}")
    set(UPDATETHEME_INSTALLED_PLUGIN_FILE "${UPDATETHEME_PLUGIN_INSTALL_DIR}")
else()
    set(UPDATETHEME_INSTALLED_PLUGIN_FILE "${CMAKE_INSTALL_PREFIX}/${UPDATETHEME_PLUGIN_INSTALL_DIR}")
endif()
string(APPEND UPDATETHEME_INSTALLED_PLUGIN_FILE
    "/${CMAKE_SHARED_MODULE_PREFIX}updatetheme${CMAKE_SHARED_MODULE_SUFFIX}")

set(sdk_files_dir ${CMAKE_BINARY_DIR}/sdk)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/updatethemeConfig.cmake.in
    ${sdk_files_dir}/updatethemeConfig.cmake INSTALL_DESTINATION ${sdk_cmake_dir})
write_basic_package_version_file(${sdk_files_dir}/updatethemeConfigVersion.cmake
    COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
configure_file(${CMAKE_CURRENT_LIST_DIR}/updatetheme.pc.in ${sdk_files_dir}/updatetheme.pc @ONLY)
install(FILES ${sdk_files_dir}/updatethemeConfig.cmake ${sdk_files_dir}/updatethemeConfigVersion.cmake
    DESTINATION ${sdk_cmake_dir} COMPONENT sdk)
install(FILES ${sdk_files_dir}/updatetheme.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT sdk)
