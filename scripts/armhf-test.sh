#!/usr/bin/env bash
# Builds the plugin and its tests for the head unit's 32-bit ARM processor
# (Debian armhf), runs the whole test suite under qemu-arm and packages the
# armhf install as a tarball.
#
#   scripts/armhf-test.sh           the preset armhf, in build-armhf/
#
# Environment:
#   UPDATETHEME_ARMHF_SYSROOT     where the armhf sysroot is kept (default build-armhf/sysroot);
#                                 point it outside a throw-away clone to keep it between runs
#   UPDATETHEME_ARMHF_BUILD_TYPE  CMake build type (default Release, as shipped)
#   UPDATETHEME_JOBS              parallel build and test jobs (default: the processors)
#
# Runs on Debian 12 as root (or with sudo): installs the cross compiler,
# qemu-user and the build machine's Qt tools with apt-get, and makes the
# sysroot once from Debian's armhf packages, downloaded with a private APT
# state (the machine's dpkg never learns about armhf) and unpacked with dpkg -x.
# Every stage prints its duration; a second run reuses the sysroot and the build.
set -euo pipefail

triplet=arm-linux-gnueabihf
host_packages=(cmake make "g++-$triplet" qemu-user qtbase5-dev-tools qttools5-dev-tools qttools5-dev)
log_tag=armhf
# shellcheck source=scripts/armhf-apt.sh
. "$(dirname "$0")/armhf-apt.sh"
build=$(preset_dir armhf)
export UPDATETHEME_ARMHF_SYSROOT
UPDATETHEME_ARMHF_SYSROOT=$(realpath -m "${UPDATETHEME_ARMHF_SYSROOT:-$build/sysroot}")
sysroot=$UPDATETHEME_ARMHF_SYSROOT
build_type=${UPDATETHEME_ARMHF_BUILD_TYPE:-Release}

# Debian's armhf packages of Qt 5 with everything they depend on, plus the C
# library and kernel headers the cross compiler builds against.
sysroot_packages() {
    echo qtbase5-dev libqt5test5 libc6-dev linux-libc-dev
}

# Turns absolute symbolic links in the unpacked tree into links inside it.
relink_absolute_symlinks() {
    local root=$1 link target
    find "$root" -type l -lname '/*' -print0 | while IFS= read -r -d '' link; do
        target=$(readlink "$link")
        ln -sfnr "$root$target" "$link"
    done
}

make_sysroot() {
    local apt=$build/apt packages key
    packages=$(sysroot_packages)
    mkdir -p "$build"
    armhf_apt_state "$apt"
    key=$(printf '%s\n' "$packages" | cat - "$apt/sources.list")
    if [ -f "$sysroot/.updatetheme-sysroot" ] && [ "$(cat "$sysroot/.updatetheme-sysroot")" = "$key" ]; then
        log "sysroot cached: $sysroot"
        return
    fi
    log "making sysroot $sysroot from:"
    cat "$apt/sources.list"
    armhf_apt_update "$apt"
    # shellcheck disable=SC2086
    apt-get -q -y "${aptopts[@]}" install --download-only $packages

    local staging=$sysroot.partial deb
    rm -rf "$staging"
    mkdir -p "$staging"
    for deb in "$apt"/cache/archives/*.deb; do
        dpkg -x "$deb" "$staging"
    done
    relink_absolute_symlinks "$staging"
    printf '%s\n' "$key" >"$staging/.updatetheme-sysroot"
    rm -rf "$sysroot"
    mv "$staging" "$sysroot"
    apt-get -q "${aptopts[@]}" clean
    log "sysroot: $(du -sh "$sysroot" | cut -f1)"
}

build_all() {
    configure_and_build armhf -DCMAKE_BUILD_TYPE="$build_type"
    local plugin=$build/libupdatetheme.so
    [ -f "$plugin" ] || die "plugin $plugin was not built"
    "$triplet-readelf" -h "$plugin" | grep -q 'Machine:.*ARM$' || die "$plugin is not an ARM binary"
    log "plugin $plugin: $(stat -c %s "$plugin") bytes"
}

run_tests() {
    log "tests registered: $(ctest --test-dir "$build" -N | sed -n 's/^Total Tests: //p')"
    (cd "$repo" && ctest --preset armhf -j "$jobs")
}

package() {
    local stage_dir=$build/stage version tarball
    version=$(sed -n 's/^project(updatetheme VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
    tarball=$build/updatetheme-${version:-0}-armhf.tar.gz
    rm -rf "$stage_dir"
    DESTDIR=$stage_dir cmake --install "$build" --strip --component plugin
    tar -C "$stage_dir" --sort=name --owner=0 --group=0 --numeric-owner -czf "$tarball" .
    tar -tvzf "$tarball"
    log "tarball $tarball: $(stat -c %s "$tarball") bytes"
}

total_started=$SECONDS
stage "host tools" install_packages "${host_packages[@]}"
stage "sysroot" make_sysroot
stage "build" build_all
stage "test" run_tests
stage "package" package
log "armhf total: $((SECONDS - total_started)) s"
