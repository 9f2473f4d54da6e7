# Cross build with any GCC cross SDK that has a sysroot, as an image build
# passes it:
#
#   cmake -S . -B build-device -DCMAKE_TOOLCHAIN_FILE=cmake/gcc-cross-toolchain.cmake \
#         -DUPDATETHEME_CROSS_PREFIX=/opt/sdk/bin/arm-vendor-linux-gnueabi- \
#         -DUPDATETHEME_CROSS_SYSROOT=/opt/sdk/sysroots/armv7a-vendor-linux-gnueabi \
#         -DUPDATETHEME_QT_CMAKE_DIR=/usr/lib/cmake
#
#   UPDATETHEME_CROSS_PREFIX     what the compiler's names begin with (<prefix>g++), with a path
#                                when the compiler is not on PATH
#   UPDATETHEME_CROSS_SYSROOT    the target's root: its C library, Qt and host libraries
#   UPDATETHEME_QT_CMAKE_DIR     the folder of Qt's CMake packages (Qt5/, Qt5Core/, ...) inside the
#                                sysroot; empty: CMake's usual places under the sysroot's /usr
#   UPDATETHEME_CROSS_MULTIARCH  a Debian multiarch name (arm-linux-gnueabihf) when the sysroot
#                                keeps its libraries in /usr/lib/<multiarch>; empty otherwise
#   UPDATETHEME_HOST_QT_BINDIR   the build machine's Qt 5 tools (moc, rcc, uic) of the target's
#                                Qt version: the code generators run here, not on the target
#
# Each can also come from the environment variable of the same name. Qt's
# Linguist tools (lrelease) are the build machine's package.

set(CMAKE_SYSTEM_NAME Linux)
set(UPDATETHEME_CROSS_PROCESSOR "$ENV{UPDATETHEME_CROSS_PROCESSOR}" CACHE STRING
    "Target processor (CMAKE_SYSTEM_PROCESSOR), e.g. arm")
set(CMAKE_SYSTEM_PROCESSOR "${UPDATETHEME_CROSS_PROCESSOR}")

set(UPDATETHEME_CROSS_PREFIX "$ENV{UPDATETHEME_CROSS_PREFIX}" CACHE STRING
    "Beginning of the cross compiler's names, e.g. arm-linux-gnueabihf-")
set(UPDATETHEME_CROSS_SYSROOT "$ENV{UPDATETHEME_CROSS_SYSROOT}" CACHE PATH "Root of the target system")
set(UPDATETHEME_QT_CMAKE_DIR "$ENV{UPDATETHEME_QT_CMAKE_DIR}" CACHE STRING
    "Folder of Qt's CMake packages inside the sysroot, e.g. /usr/lib/cmake")
set(UPDATETHEME_CROSS_MULTIARCH "$ENV{UPDATETHEME_CROSS_MULTIARCH}" CACHE STRING
    "Debian multiarch name of the target's library folders, if it has them")
set(UPDATETHEME_HOST_QT_BINDIR "/usr/lib/qt5/bin" CACHE PATH
    "Build machine's Qt 5 tools (moc, rcc, uic) used to generate code for the target")
# The compiler checks of project() run in projects of their own: hand them the settings.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES UPDATETHEME_CROSS_PROCESSOR UPDATETHEME_CROSS_PREFIX
     UPDATETHEME_CROSS_SYSROOT UPDATETHEME_CROSS_MULTIARCH UPDATETHEME_HOST_QT_BINDIR)

if(NOT UPDATETHEME_CROSS_PREFIX)
    message(FATAL_ERROR "UPDATETHEME_CROSS_PREFIX is not set: the beginning of the cross compiler's names")
endif()
if(NOT IS_DIRECTORY "${UPDATETHEME_CROSS_SYSROOT}/usr")
    message(FATAL_ERROR "UPDATETHEME_CROSS_SYSROOT='${UPDATETHEME_CROSS_SYSROOT}' is no sysroot (it has no usr/)")
endif()

set(CMAKE_C_COMPILER ${UPDATETHEME_CROSS_PREFIX}gcc)
set(CMAKE_CXX_COMPILER ${UPDATETHEME_CROSS_PREFIX}g++)
if(UPDATETHEME_CROSS_MULTIARCH)
    set(CMAKE_LIBRARY_ARCHITECTURE ${UPDATETHEME_CROSS_MULTIARCH})
    # Debian's multiarch library folder, which GNUInstallDirs only picks in native builds.
    set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH "Object code libraries (LIBDIR)")
endif()

set(CMAKE_SYSROOT "${UPDATETHEME_CROSS_SYSROOT}")
# Added to the roots the command line gives (a device SDK staged apart from the sysroot, say).
list(APPEND CMAKE_FIND_ROOT_PATH "${UPDATETHEME_CROSS_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(UPDATETHEME_QT_CMAKE_DIR)
    # Searched as <dir>/Qt5*/, inside the sysroot.
    list(APPEND CMAKE_PREFIX_PATH "${UPDATETHEME_QT_CMAKE_DIR}")
endif()

# The sysroot's Qt configuration points its tools at the target's binaries.
# Qt only defines a tool target that does not exist yet, so defining them
# here first makes AUTOMOC, AUTORCC and AUTOUIC run the build machine's tools.
foreach(tool moc rcc uic)
    if(NOT TARGET Qt5::${tool} AND EXISTS "${UPDATETHEME_HOST_QT_BINDIR}/${tool}")
        add_executable(Qt5::${tool} IMPORTED)
        set_target_properties(Qt5::${tool} PROPERTIES IMPORTED_LOCATION "${UPDATETHEME_HOST_QT_BINDIR}/${tool}")
    endif()
endforeach()

# Linguist tools only run on the build machine: take the build machine's
# package (lrelease, lupdate and the translation macros) as it is.
file(GLOB host_linguist_dirs /usr/lib/cmake/Qt5LinguistTools /usr/lib/*/cmake/Qt5LinguistTools)
if(UPDATETHEME_CROSS_MULTIARCH)
    list(FILTER host_linguist_dirs EXCLUDE REGEX "/${UPDATETHEME_CROSS_MULTIARCH}/")
endif()
if(host_linguist_dirs AND NOT Qt5LinguistTools_DIR)
    list(GET host_linguist_dirs 0 host_linguist_dir)
    set(Qt5LinguistTools_DIR "${host_linguist_dir}" CACHE PATH "Build machine's Qt 5 Linguist tools package")
endif()
