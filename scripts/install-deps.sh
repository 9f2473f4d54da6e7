#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the simulator need,
# and those named as arguments: the one place where the scripts install
# packages on the build machine.
set -euo pipefail
log_tag=install-deps
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"

packages=(cmake make g++ qtbase5-dev qtbase5-dev-tools qttools5-dev-tools qttools5-dev libqt5test5 linux-libc-dev
          fonts-dejavu-core fonts-wqy-microhei xvfb xauth clang-format "$@")
# The Qt API age check: clang's bindings for Debian's Python, and Qt's reference documentation.
packages+=(python3-clang-14 qtbase5-doc-html)
# The fuzz targets: clang with libFuzzer and the sanitizers' runtimes.
packages+=(clang libclang-rt-14-dev)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get -q -o DPkg::Lock::Timeout=600 update || log "warning: apt-get update failed, using the lists at hand"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -q -y -o DPkg::Lock::Timeout=600 install "${missing[@]}"
fi
