# Cross build for the head unit's 32-bit ARM processor (Debian armhf) with
# Debian's arm-linux-gnueabihf GCC against a sysroot of Debian's armhf Qt 5
# packages (scripts/armhf-test.sh makes one):
#
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake \
#         -DUPDATETHEME_ARMHF_SYSROOT=/path/to/sysroot
#
# The code generators (moc, rcc, uic, lrelease) are the build machine's own
# Qt 5 tools of the same version. CTest runs the armhf test programs under
# qemu-arm with the sysroot as their root.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(UPDATETHEME_ARMHF_SYSROOT "$ENV{UPDATETHEME_ARMHF_SYSROOT}" CACHE PATH
    "Root of the armhf system the build links against (Debian armhf packages unpacked)")
set(UPDATETHEME_HOST_QT_BINDIR "/usr/lib/qt5/bin" CACHE PATH
    "Build machine's Qt 5 tools (moc, rcc, uic) used to generate code for armhf")
# The compiler checks of project() run in separate projects: hand them the sysroot.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES UPDATETHEME_ARMHF_SYSROOT UPDATETHEME_HOST_QT_BINDIR)

if(NOT IS_DIRECTORY "${UPDATETHEME_ARMHF_SYSROOT}/usr/lib/arm-linux-gnueabihf")
    message(FATAL_ERROR "UPDATETHEME_ARMHF_SYSROOT='${UPDATETHEME_ARMHF_SYSROOT}' is not an armhf sysroot; "
                        "scripts/armhf-test.sh builds one")
endif()

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
# Debian's multiarch library folder, which GNUInstallDirs only picks in native builds.
set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}" CACHE PATH "Object code libraries (LIBDIR)")

set(CMAKE_SYSROOT "${UPDATETHEME_ARMHF_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH "${UPDATETHEME_ARMHF_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The sysroot's Qt configuration points its tools at the armhf binaries. Qt
# only defines a tool target that does not exist yet, so defining them here
# first makes AUTOMOC, AUTORCC and AUTOUIC run the build machine's tools.
foreach(tool moc rcc uic)
    if(NOT TARGET Qt5::${tool} AND EXISTS "${UPDATETHEME_HOST_QT_BINDIR}/${tool}")
        add_executable(Qt5::${tool} IMPORTED)
        set_target_properties(Qt5::${tool} PROPERTIES IMPORTED_LOCATION "${UPDATETHEME_HOST_QT_BINDIR}/${tool}")
    endif()
endforeach()

# Linguist tools only run on the build machine: take the build machine's
# package (lrelease, lupdate and the translation macros) as it is.
file(GLOB host_linguist_dirs /usr/lib/*/cmake/Qt5LinguistTools)
list(FILTER host_linguist_dirs EXCLUDE REGEX "/arm-linux-gnueabihf/")
if(host_linguist_dirs AND NOT Qt5LinguistTools_DIR)
    list(GET host_linguist_dirs 0 host_linguist_dir)
    set(Qt5LinguistTools_DIR "${host_linguist_dir}" CACHE PATH "Build machine's Qt 5 Linguist tools package")
endif()

# Test programs run under emulation: the sysroot serves as root for the dynamic
# loader and the libraries, and Qt finds the armhf plugins (the offscreen
# platform among them) inside it; fontconfig's files are looked up in the
# sysroot first as well. UPDATETHEME_EMULATOR tells a test that it runs under
# qemu-arm, which answers ioctl requests it does not know (the MTD requests
# among them) with ENOSYS instead of passing them to the kernel.
set(armhf_qt_plugins "${UPDATETHEME_ARMHF_SYSROOT}/usr/lib/arm-linux-gnueabihf/qt5/plugins")
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-arm -L "${UPDATETHEME_ARMHF_SYSROOT}"
    -E "UPDATETHEME_EMULATOR=qemu-arm"
    -E "QT_PLUGIN_PATH=${armhf_qt_plugins}"
    -E "QT_QPA_PLATFORM_PLUGIN_PATH=${armhf_qt_plugins}/platforms")
