# Cross build for the head unit's 32-bit ARM processor (Debian armhf) with
# Debian's arm-linux-gnueabihf GCC against a sysroot of Debian's armhf Qt 5
# packages (scripts/armhf-test.sh makes one), a use of gcc-cross-toolchain.cmake:
#
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake \
#         -DUPDATETHEME_ARMHF_SYSROOT=/path/to/sysroot
#
# The code generators (moc, rcc, uic, lrelease) are the build machine's own
# Qt 5 tools of the same version. CTest runs the armhf test programs under
# qemu-arm with the sysroot as their root.

set(UPDATETHEME_ARMHF_SYSROOT "$ENV{UPDATETHEME_ARMHF_SYSROOT}" CACHE PATH
    "Root of the armhf system the build links against (Debian armhf packages unpacked)")
# The compiler checks of project() run in separate projects: hand them the sysroot.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES UPDATETHEME_ARMHF_SYSROOT)

if(NOT IS_DIRECTORY "${UPDATETHEME_ARMHF_SYSROOT}/usr/lib/arm-linux-gnueabihf")
    message(FATAL_ERROR "UPDATETHEME_ARMHF_SYSROOT='${UPDATETHEME_ARMHF_SYSROOT}' is not an armhf sysroot; "
                        "scripts/armhf-test.sh builds one")
endif()

# Debian's cross compiler and multiarch folders; Qt's packages where Debian keeps them.
set(UPDATETHEME_CROSS_PROCESSOR arm CACHE STRING "Target processor")
set(UPDATETHEME_CROSS_PREFIX arm-linux-gnueabihf- CACHE STRING "Beginning of the cross compiler's names")
set(UPDATETHEME_CROSS_SYSROOT "${UPDATETHEME_ARMHF_SYSROOT}" CACHE PATH "Root of the target system" FORCE)
set(UPDATETHEME_CROSS_MULTIARCH arm-linux-gnueabihf CACHE STRING "Debian multiarch name")
include(${CMAKE_CURRENT_LIST_DIR}/gcc-cross-toolchain.cmake)

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
