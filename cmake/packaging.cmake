# Debian packages, made with `cpack` in a build configured for them, e.g. the
# preset packages (scripts/package-test.sh makes them from the presets device
# and device-armhf):
#
#   cmake --preset packages
#   cmake --build --preset packages
#   cpack --preset packages
#
#   updatetheme       the plugin, its translation catalogs and the screens' images (device paths)
#   updatetheme-dev   the contract SDK
#
# The host stand-in libraries are never packaged: the device image brings the
# real libcomviews and libqvappframework, which no Debian package provides, so
# they are left out of the dependencies as well.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_CONTACT "updatetheme maintainers <maintainers@users.noreply.c-seed-0d21bef8.example>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL plugin sdk)
# The images install to the absolute device path.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(package_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})

set(CPACK_DEBIAN_PLUGIN_PACKAGE_NAME updatetheme)
set(CPACK_DEBIAN_PLUGIN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PLUGIN_DESCRIPTION "software upgrade screens of the head unit
Qt 5 plugin (interface updatetheme/0.1) that the head unit's host
application loads to show the upgrade screens: the upgrade file dialog,
the system upgrade confirmation and the MCU upgrade with its progress.
On factory devices it also imports customisation data from USB and SD
media and writes the boot logo. Ships the plugin with its Chinese and
German translations and the screens' images.")

set(CPACK_DEBIAN_SDK_PACKAGE_NAME updatetheme-dev)
set(CPACK_DEBIAN_SDK_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_SDK_PACKAGE_DEPENDS "updatetheme (= ${package_version}), qtbase5-dev (>= 5.3)")
set(CPACK_DEBIAN_SDK_DESCRIPTION "contract SDK for hosts of the upgrade screens plugin
The header of the contract UpdateInterface that a host application drives
the updatetheme plugin with, a CMake package (find_package(updatetheme),
target updatetheme::contract, variable updatetheme_PLUGIN_FILE) and a
pkg-config file.")

if(CMAKE_CROSSCOMPILING)
    execute_process(COMMAND dpkg-architecture -t${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
        OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # dpkg-shlibdeps only knows the build machine's libraries: the plugin
    # links the same Debian packages on every architecture, so a cross build
    # takes the dependencies of the native package.
    set(UPDATETHEME_DEBIAN_DEPENDS "" CACHE STRING
        "Depends of the updatetheme package in a cross build (the native package's)")
    set(CPACK_DEBIAN_PLUGIN_PACKAGE_DEPENDS "${UPDATETHEME_DEBIAN_DEPENDS}")
else()
    set(CPACK_DEBIAN_PLUGIN_PACKAGE_SHLIBDEPS ON)
    # The host libraries belong to no package: dpkg-shlibdeps reads them where the build has them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${UPDATETHEME_HOST_LIBRARY_DIRS})
endif()

set(changelog ${CMAKE_BINARY_DIR}/debian/changelog)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${changelog} @ONLY)
execute_process(COMMAND gzip -9nc ${changelog} OUTPUT_FILE ${changelog}.Debian.gz COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_UPDATETHEME_CHANGELOG ${changelog}.Debian.gz)
set(CPACK_UPDATETHEME_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/documents.cmake)

include(CPack)
