#!/usr/bin/env bash
# The SDK and the Debian packages, as the host team and the image build get them:
#
#  1. builds the plugin and installs it with the SDK and the host stand-ins
#     into a staging folder (DESTDIR), laid out as on the device;
#  2. builds examples/minimal-host as a project of its own against that
#     folder only and runs it offscreen: it must walk the plugin's dialog to a
#     system upgrade;
#  3. makes the packages updatetheme and updatetheme-dev for amd64 and, cross
#     built, for armhf; checks their contents (dpkg-deb -c), architecture and
#     dependencies, and runs lintian on them.
#
#   scripts/package-test.sh [BUILD_DIR]          default: <repo>/build-package
#
# Environment:
#   UPDATETHEME_ARMHF_SYSROOT   the armhf sysroot that scripts/armhf-test.sh made (default, as
#                               there: <repo>/build-armhf/sysroot)
#   UPDATETHEME_JOBS            parallel build jobs (default 2)
# Every stage prints its duration.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/build-package}")
sysroot=$(realpath -m "${UPDATETHEME_ARMHF_SYSROOT:-$repo/build-armhf/sysroot}")
jobs=${UPDATETHEME_JOBS:-2}
stage_dir=$build/stage
plugin_dir=application/plugins/updatetheme
style_dir=application/resource/update/style0

log_tag=package
# shellcheck source=scripts/stages.sh
. "$repo/scripts/stages.sh"

install_tools() {
    "$repo/scripts/install-deps.sh" dpkg-dev lintian file pkgconf "g++-arm-linux-gnueabihf"
}

# A build of the plugin alone, laid out for the packages: the SDK under /usr,
# the plugin and its images under the device paths. Neither the install nor
# cpack builds the rest of the project (the simulator).
build_for_packages() {
    local dir=$1
    shift
    cmake -S "$repo" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DUPDATETHEME_WERROR=ON -DUPDATETHEME_BUILD_TESTS=OFF \
        -DCMAKE_INSTALL_PREFIX=/usr -DUPDATETHEME_PLUGIN_INSTALL_DIR="/$plugin_dir" \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@"
    cmake --build "$dir" -j "$jobs" --target updatetheme updatetheme_installed_translations
}

build_amd64() {
    build_for_packages "$build/amd64" -DUPDATETHEME_INSTALL_HOST_STANDIN=ON
}

install_staged() {
    rm -rf "$stage_dir"
    DESTDIR=$stage_dir cmake --install "$build/amd64"
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
    output=$(UPDATETHEME_DEVICE_ROOT=$stage_dir UPDATETHEME_HOST_SETTINGS=$dir/no-settings.ini \
        QT_QPA_PLATFORM=offscreen "$dir/minimal-host") || die "minimal-host failed: $output"
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

make_packages() {
    local dir=$1
    rm -rf "$dir/packages"
    cpack --config "$dir/CPackConfig.cmake" -B "$dir/packages"
}

package_amd64() {
    # Configured again without the stand-ins: the package gets none of them.
    build_for_packages "$build/amd64" -DUPDATETHEME_INSTALL_HOST_STANDIN=OFF
    make_packages "$build/amd64"
}

package_armhf() {
    [ -f "$sysroot/.updatetheme-sysroot" ] || die "no armhf sysroot at $sysroot: scripts/armhf-test.sh makes one"
    build_for_packages "$build/armhf" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/armhf-toolchain.cmake" \
        -DUPDATETHEME_ARMHF_SYSROOT="$sysroot" \
        -DUPDATETHEME_DEBIAN_DEPENDS="$(dpkg-deb -f "$build"/amd64/packages/updatetheme_*_amd64.deb Depends)"
    make_packages "$build/armhf"
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
    for deb in "$build"/amd64/packages/*.deb; do
        check_package "$deb" amd64 x86_64-linux-gnu x86-64
    done
    for deb in "$build"/armhf/packages/*.deb; do
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
        "$build"/amd64/packages/*.deb "$build"/armhf/packages/*.deb)
    echo "$report"
    ! grep -q '^[EW]:' <<<"$report" || die "lintian reports errors or warnings"
}

total_started=$SECONDS
stage "tools" install_tools
stage "amd64 build" build_amd64
stage "staged install" install_staged
stage "minimal host on the staged SDK" run_example
stage "pkg-config" check_pkg_config
stage "amd64 packages" package_amd64
stage "armhf packages" package_armhf
stage "package contents" check_packages
stage "lintian" run_lintian
log "packages total: $((SECONDS - total_started)) s"
