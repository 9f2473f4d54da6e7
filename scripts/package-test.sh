#!/usr/bin/env bash
# The plugin as the head unit's image build makes it, against a device SDK,
# and the SDK and the Debian packages, as the host team and the image build get them:
#
#  1. stages a device sysroot from the host stand-in, its API headers and
#     libraries only (usr/include/comviews, usr/include/qvappframework,
#     usr/lib), natively from build/ and for armhf from build-armhf/;
#  2. builds the plugin against each with the device's host libraries (the
#     presets device and device-armhf) and checks that it needs libcomviews.so
#     and libqvappframework.so by name, has no RPATH or RUNPATH, and was
#     compiled without the source tree's host/;
#  3. installs the native build with the SDK into a staging folder (DESTDIR),
#     laid out as on the device;
#  4. builds examples/minimal-host as a project of its own against that
#     folder only and runs it offscreen with the staged sysroot's host
#     libraries: it must walk the plugin's dialog to a system upgrade;
#  5. makes the packages updatetheme and updatetheme-dev from both builds,
#     amd64 and armhf; checks their contents (dpkg-deb -c), architecture and
#     dependencies, and runs lintian on them.
#
#   scripts/package-test.sh
#
# Environment:
#   UPDATETHEME_ARMHF_SYSROOT   the armhf sysroot that scripts/armhf-test.sh made (default, as
#                               there: <repo>/build-armhf/sysroot)
#   UPDATETHEME_JOBS            parallel build jobs (default: the processors)
# Every stage prints its duration.
set -euo pipefail

log_tag=package
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"
export UPDATETHEME_ARMHF_SYSROOT
UPDATETHEME_ARMHF_SYSROOT=$(realpath -m "${UPDATETHEME_ARMHF_SYSROOT:-$(preset_dir armhf)/sysroot}")
build=$(preset_dir device)
stage_dir=$build/stage
plugin_dir=application/plugins/updatetheme
style_dir=application/resource/update/style0

# The device sysroot staged from the stand-in of a preset's build.
device_sysroot() {
    echo "$(preset_dir "$1")/device-sysroot"
}

# Stages the stand-in's API headers and libraries of the preset's build as a
# device holds them; builds the two libraries when needed.
stage_device_sysroot() {
    local preset=$1 sysroot
    sysroot=$(device_sysroot "$preset")
    (cd "$repo" && cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" -j "$jobs" --target comviews qvappframework)
    rm -rf "$sysroot"
    cmake --install "$(preset_dir "$preset")" --component hostapi --prefix "$sysroot/usr" >/dev/null
    (cd "$sysroot" && find . -type f | sort)
}

stage_device_sysroots() {
    [ -f "$UPDATETHEME_ARMHF_SYSROOT/.updatetheme-sysroot" ] ||
        die "no armhf sysroot at $UPDATETHEME_ARMHF_SYSROOT: scripts/armhf-test.sh makes one"
    stage_device_sysroot native
    stage_device_sysroot armhf
}

# The device preset's build against the sysroot staged from the stand-in preset's.
build_device() {
    local preset=$1 standin=$2
    shift 2
    UPDATETHEME_DEVICE_SYSROOT=$(device_sysroot "$standin") configure_and_build "$preset" "$@"
}

build_devices() {
    build_device device native
    build_device device-armhf armhf
}

# The plugin of a device build needs the host libraries by name, searches no
# folder of its own, and was compiled with no header of the source tree's host/.
check_device_plugin() {
    local preset=$1 dir plugin dynamic
    dir=$(preset_dir "$preset")
    plugin=$dir/libupdatetheme.so
    dynamic=$(readelf -d "$plugin")
    grep -E 'NEEDED|RPATH|RUNPATH' <<<"$dynamic"
    grep -qF '[libcomviews.so]' <<<"$dynamic" || die "$plugin does not need libcomviews.so"
    grep -qF '[libqvappframework.so]' <<<"$dynamic" || die "$plugin does not need libqvappframework.so"
    ! grep -qE 'RPATH|RUNPATH' <<<"$dynamic" || die "$plugin has a library search path"
    ! grep -qF "$repo/host/" "$dir/compile_commands.json" || die "$preset was compiled with $repo/host/"
    log "$preset: $(file -b "$plugin" | cut -d, -f1-2), host libraries by name, no search path, no host/"
}

check_device_plugins() {
    check_device_plugin device
    check_device_plugin device-armhf
}

install_staged() {
    rm -rf "$stage_dir"
    DESTDIR=$stage_dir cmake --install "$build"
    (cd "$stage_dir" && find . -type f | sort)
}

# Fails on an include path into the source tree or a build of the project:
# besides the system's, only the staging folder and the example's own build.
check_include_paths() {
    local commands=$1 path stray=0
    while read -r path; do
        case $path in
        "$stage_dir"/* | "$build/minimal-host"/*) ;;
        "$repo"/* | "$build"/*) log "include path outside the staging folder: $path" && stray=1 ;;
        esac
    done < <(grep -oE -- '-(I|isystem) ?[^ "]+' "$commands" | sed -E 's/^-(I|isystem) ?//' | sort -u)
    return $stray
}

run_example() {
    local dir=$build/minimal-host output
    rm -rf "$dir"
    cmake -S "$repo/examples/minimal-host" -B "$dir" -DCMAKE_PREFIX_PATH="$stage_dir/usr" \
        -DCMAKE_CXX_FLAGS=-Werror -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
    grep -q "^updatetheme_DIR:PATH=$stage_dir/" "$dir/CMakeCache.txt" || die "the SDK was not found in $stage_dir"
    cmake --build "$dir" -j "$jobs"
    check_include_paths "$dir/compile_commands.json" || die "the example was built with paths outside $stage_dir"
    # The staging folder is the device root: the plugin loads its images from it.
    # The host application brings the host libraries: here the staged sysroot's.
    output=$(UPDATETHEME_DEVICE_ROOT=$stage_dir UPDATETHEME_HOST_SETTINGS=$dir/no-settings.ini \
        LD_LIBRARY_PATH=$(device_sysroot native)/usr/lib QT_QPA_PLATFORM=offscreen "$dir/minimal-host") ||
        die "minimal-host failed: $output"
    echo "$output"
    grep -qx 'plugin: updateSystem(): the host starts the system upgrade' <<<"$output" ||
        die "minimal-host did not reach the system upgrade"
}

# The staged pkg-config file, read with its prefix moved into the staging
# folder: its first include path must hold the contract, which compiles with
# Qt's flags.
check_pkg_config() {
    local own_include
    export PKG_CONFIG_PATH
    PKG_CONFIG_PATH=$(dirname "$(find "$stage_dir" -name updatetheme.pc)")
    pkg-config --validate updatetheme
    own_include=$(pkg-config --define-variable=prefix="$stage_dir/usr" --cflags-only-I updatetheme | cut -d' ' -f1)
    log "pkg-config: Cflags $(pkg-config --cflags-only-I updatetheme | cut -d' ' -f1), staged $own_include," \
        "plugin $(pkg-config --variable=plugin updatetheme)"
    # shellcheck disable=SC2046
    echo '#include <updateinterface.h>' |
        g++ -std=c++11 -fPIC -fsyntax-only "$own_include" $(pkg-config --cflags Qt5Widgets) -x c++ -
}

package_amd64() {
    rm -rf "$build/packages"
    (cd "$repo" && cpack --preset device)
}

# dpkg-shlibdeps cannot read a cross build's libraries: the armhf package
# takes the amd64 package's dependencies, the same Debian packages.
package_armhf() {
    rm -rf "$(preset_dir device-armhf)/packages"
    build_device device-armhf armhf \
        -DUPDATETHEME_DEBIAN_DEPENDS="$(dpkg-deb -f "$build"/packages/updatetheme_*_amd64.deb Depends)"
    (cd "$repo" && cpack --preset device-armhf)
}

# The files a package must hold, one a line, without the leading "./".
expected_files() {
    local package=$1 triplet=$2 name
    case $package in
    updatetheme)
        echo "$plugin_dir/libupdatetheme.so"
        for name in "$repo"/resources/translations/*.ts; do
            echo "$plugin_dir/$(basename "$name" .ts).qm"
        done
        for name in "$repo"/resources/style0/*; do
            echo "$style_dir/$(basename "$name")"
        done
        ;;
    updatetheme-dev)
        echo usr/include/updatetheme/updateinterface.h
        printf "usr/lib/$triplet/cmake/updatetheme/%s\n" updatethemeConfig.cmake \
            updatethemeConfigVersion.cmake updatethemeTargets.cmake
        echo "usr/lib/$triplet/pkgconfig/updatetheme.pc"
        ;;
    esac
    [ "$package" != updatetheme ] || echo usr/share/lintian/overrides/updatetheme
    printf "usr/share/doc/$package/%s\n" copyright changelog.Debian.gz
}

check_package() {
    local deb=$1 arch=$2 triplet=$3 machine=$4 package unpacked
    package=$(dpkg-deb -f "$deb" Package)
    log "$(basename "$deb"): $(stat -c %s "$deb") bytes"
    dpkg-deb -f "$deb" Package Version Architecture Depends Installed-Size
    dpkg-deb -c "$deb"
    [ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || die "$deb is not for $arch"
    diff -u <(expected_files "$package" "$triplet" | sort) \
        <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort) ||
        die "$deb does not hold the expected files"
    [ "$package" = updatetheme ] || return 0
    dpkg-deb -f "$deb" Depends | grep -q 'libqt5widgets5' || die "$deb does not depend on Qt 5 Widgets"
    unpacked=$(mktemp -d)
    dpkg-deb -x "$deb" "$unpacked"
    file "$unpacked/$plugin_dir/libupdatetheme.so" | grep -q "$machine" || die "$deb holds no $machine plugin"
    rm -rf "$unpacked"
}

check_packages() {
    local deb
    for deb in "$build"/packages/*.deb; do
        check_package "$deb" amd64 x86_64-linux-gnu x86-64
    done
    for deb in "$(preset_dir device-armhf)"/packages/*.deb; do
        check_package "$deb" armhf arm-linux-gnueabihf ARM
    done
}

# Overridden tags are shown with their reasons (the device paths), and any
# error or warning fails. The packages go into the head unit's image, never
# into Debian's archive: there is no request-for-packaging bug for a first
# upload to close.
run_lintian() {
    local report
    report=$(lintian --fail-on none --show-overrides --suppress-tags initial-upload-closes-no-bugs \
        "$build"/packages/*.deb "$(preset_dir device-armhf)"/packages/*.deb)
    echo "$report"
    ! grep -q '^[EW]:' <<<"$report" || die "lintian reports errors or warnings"
}

total_started=$SECONDS
stage "tools" install_packages dpkg-dev lintian file pkgconf "g++-arm-linux-gnueabihf"
stage "device sysroots" stage_device_sysroots
stage "device builds" build_devices
stage "device plugins" check_device_plugins
stage "staged install" install_staged
stage "minimal host on the staged SDK" run_example
stage "pkg-config" check_pkg_config
stage "amd64 packages" package_amd64
stage "armhf packages" package_armhf
stage "package contents" check_packages
stage "lintian" run_lintian
log "packages total: $((SECONDS - total_started)) s"
