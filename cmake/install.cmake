# Install layout. Staged with DESTDIR the tree mirrors the head unit:
#
#   <prefix>/<UPDATETHEME_PLUGIN_INSTALL_DIR>/libupdatetheme.so   the plugin, its translations (*.qm)
#                                                                 and, on request, the host stand-ins
#   <UPDATETHEME_RESOURCE_INSTALL_DIR>/                           the screens' images
#   <prefix>/include, <prefix>/<libdir>                           the contract SDK (cmake/sdk.cmake)
#
# Install components: plugin (the device's files), sdk, hoststandin; and hostapi, on
# request only, the stand-in laid out as a device SDK (host/CMakeLists.txt).
# The plugin loads its images from the absolute device path, so the image
# folder does not follow the prefix.

set(UPDATETHEME_PLUGIN_INSTALL_DIR "plugins/updatetheme" CACHE STRING
    "Folder the plugin is installed to (relative to CMAKE_INSTALL_PREFIX, or absolute)")
set(UPDATETHEME_RESOURCE_INSTALL_DIR "/application/resource/update/style0" CACHE STRING
    "Folder the screens load their images from on the device")
option(UPDATETHEME_INSTALL_HOST_STANDIN
    "Install the host stand-in libraries beside the plugin (the device has its own)" OFF)

include(GNUInstallDirs)

install(TARGETS updatetheme LIBRARY DESTINATION ${UPDATETHEME_PLUGIN_INSTALL_DIR} COMPONENT plugin)

if(UPDATETHEME_INSTALL_HOST_STANDIN)
    if(NOT TARGET hoststandin)
        message(FATAL_ERROR "UPDATETHEME_INSTALL_HOST_STANDIN needs the host stand-in (UPDATETHEME_HOST_LIBRARIES=standin)")
    endif()
    install(TARGETS comviews qvappframework LIBRARY DESTINATION ${UPDATETHEME_PLUGIN_INSTALL_DIR}
        COMPONENT hoststandin)
    # Installed side by side, the libraries find each other in their own folder.
    set_target_properties(updatetheme comviews PROPERTIES INSTALL_RPATH "$ORIGIN")
endif()

# Optional: a checkout has the folder only once it holds images.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/style0/ DESTINATION ${UPDATETHEME_RESOURCE_INSTALL_DIR}
    COMPONENT plugin OPTIONAL)

set(translation_sources_dir ${PROJECT_SOURCE_DIR}/resources/translations)
if(EXISTS ${translation_sources_dir})
    find_package(Qt5LinguistTools REQUIRED)
    file(GLOB translation_sources CONFIGURE_DEPENDS ${translation_sources_dir}/*.ts)
    # Compiled into a folder of their own so that they never collide with
    # catalogs other targets compile from the same sources.
    set(installed_translations_dir ${CMAKE_BINARY_DIR}/installed-translations)
    file(MAKE_DIRECTORY ${installed_translations_dir})
    set(installed_translations)
    foreach(source ${translation_sources})
        get_filename_component(name ${source} NAME_WE)
        set(catalog ${installed_translations_dir}/${name}.qm)
        add_custom_command(OUTPUT ${catalog}
            COMMAND Qt5::lrelease -silent ${source} -qm ${catalog}
            DEPENDS ${source}
            VERBATIM)
        list(APPEND installed_translations ${catalog})
    endforeach()
    add_custom_target(updatetheme_installed_translations ALL DEPENDS ${installed_translations})
    install(FILES ${installed_translations} DESTINATION ${UPDATETHEME_PLUGIN_INSTALL_DIR} COMPONENT plugin)
endif()

include(${CMAKE_CURRENT_LIST_DIR}/sdk.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/packaging.cmake)
