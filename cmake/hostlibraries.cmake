# The head unit's host libraries the plugin links, comviews and qvappframework,
# as the targets of those names:
#
#   UPDATETHEME_HOST_LIBRARIES=standin   the stand-in built from host/ (default)
#   UPDATETHEME_HOST_LIBRARIES=device    the device's own, imported from its SDK:
#       <prefix>/include/comviews/, <prefix>/include/qvappframework/     the headers
#       <prefix>/lib[/<multiarch>]/libcomviews.so, libqvappframework.so  the libraries
#     where <prefix> is UPDATETHEME_HOST_PREFIX (default /usr), looked up inside
#     CMAKE_SYSROOT and CMAKE_FIND_ROOT_PATH when the toolchain sets them.
#
# UPDATETHEME_HOST_LIBRARY_DIRS names the folders the libraries are in.
set(UPDATETHEME_HOST_LIBRARIES standin CACHE STRING
    "Host libraries the plugin links: standin (built from host/) or device (found in the device's SDK)")
set_property(CACHE UPDATETHEME_HOST_LIBRARIES PROPERTY STRINGS standin device)

if(UPDATETHEME_HOST_LIBRARIES STREQUAL "standin")
    add_subdirectory(host)
    set(UPDATETHEME_HOST_LIBRARY_DIRS ${PROJECT_BINARY_DIR}/host)
    return()
elseif(NOT UPDATETHEME_HOST_LIBRARIES STREQUAL "device")
    message(FATAL_ERROR "UPDATETHEME_HOST_LIBRARIES is '${UPDATETHEME_HOST_LIBRARIES}': standin or device")
endif()

# Nothing of this build runs on the build machine: the plugin file is the
# device's as it is, without a search path into the SDK.
set(CMAKE_SKIP_BUILD_RPATH ON)

set(UPDATETHEME_HOST_PREFIX /usr CACHE PATH
    "Prefix of the device's host libraries and headers (inside the sysroot when cross-compiling)")

# The folders a search for dirs goes through, as the messages name them:
# re-rooted in the sysroot and the find roots, and as they are unless the
# toolchain searches the roots only.
function(updatetheme_searched out mode)
    set(roots ${CMAKE_SYSROOT} ${CMAKE_FIND_ROOT_PATH})
    set(searched "")
    foreach(dir ${ARGN})
        foreach(root ${roots})
            list(APPEND searched ${root}${dir})
        endforeach()
        if(NOT roots OR NOT mode STREQUAL "ONLY")
            list(APPEND searched ${dir})
        endif()
    endforeach()
    list(REMOVE_DUPLICATES searched)
    string(REPLACE ";" ", " searched "${searched}")
    set(${out} "${searched}" PARENT_SCOPE)
endfunction()

# Imports the device library lib<name>.so as the target <name>, with the
# folder of its headers; each header the plugin includes must be there.
function(updatetheme_device_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "HEADERS;LINK")
    set(include_dirs ${UPDATETHEME_HOST_PREFIX}/include/${name})
    set(library_dirs ${UPDATETHEME_HOST_PREFIX}/lib)
    if(CMAKE_LIBRARY_ARCHITECTURE)
        list(PREPEND library_dirs ${UPDATETHEME_HOST_PREFIX}/lib/${CMAKE_LIBRARY_ARCHITECTURE})
    endif()

    list(GET arg_HEADERS 0 first_header)
    find_path(UPDATETHEME_${name}_INCLUDE_DIR ${first_header} PATHS ${include_dirs} NO_DEFAULT_PATH)
    set(include_dir ${UPDATETHEME_${name}_INCLUDE_DIR})
    foreach(header ${arg_HEADERS})
        if(NOT include_dir OR NOT EXISTS ${include_dir}/${header})
            if(include_dir)
                set(searched ${include_dir})
            else()
                updatetheme_searched(searched "${CMAKE_FIND_ROOT_PATH_MODE_INCLUDE}" ${include_dirs})
            endif()
            message(FATAL_ERROR "Device host library ${name}: header ${header} not found in ${searched}. "
                                "Set UPDATETHEME_HOST_PREFIX (now ${UPDATETHEME_HOST_PREFIX}) or the sysroot.")
        endif()
    endforeach()

    find_library(UPDATETHEME_${name}_LIBRARY ${name} PATHS ${library_dirs} NO_DEFAULT_PATH)
    if(NOT UPDATETHEME_${name}_LIBRARY)
        updatetheme_searched(searched "${CMAKE_FIND_ROOT_PATH_MODE_LIBRARY}" ${library_dirs})
        message(FATAL_ERROR "Device host library ${name}: library lib${name}.so not found in ${searched}. "
                            "Set UPDATETHEME_HOST_PREFIX (now ${UPDATETHEME_HOST_PREFIX}) or the sysroot.")
    endif()

    get_filename_component(library_dir ${UPDATETHEME_${name}_LIBRARY} DIRECTORY)
    set(UPDATETHEME_HOST_LIBRARY_DIRS ${UPDATETHEME_HOST_LIBRARY_DIRS} ${library_dir} PARENT_SCOPE)
    add_library(${name} SHARED IMPORTED)
    set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${UPDATETHEME_${name}_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${include_dir} INTERFACE_LINK_LIBRARIES "${arg_LINK}")
    message(STATUS "Device host library ${name}: ${UPDATETHEME_${name}_LIBRARY}, headers in ${include_dir}")
endfunction()

# The headers the plugin includes.
set(UPDATETHEME_HOST_LIBRARY_DIRS "")
updatetheme_device_library(qvappframework HEADERS uimanager.h modulemanager.h module.h LINK Qt5::Widgets)
updatetheme_device_library(comviews
    HEADERS basecontrol.h constsetting.h customimagebutton.h customimagelabel.h customimageradiobutton.h
            datasavecontrol.h mcumodule.h mcumoduleplugin.h tipdialog.h usbcontrol.h
    LINK qvappframework Qt5::Widgets)
