#!/usr/bin/env bash
# The Qt API age check over everything that ships: any use of Qt API newer
# than the head unit's Qt 5.3 is listed as "file:line: Class::member (Qt 5.N)"
# and fails the run.
#
#   scripts/qt-api-age.sh [BUILD_DIR]      default: <repo>/build
#
# Configures BUILD_DIR when needed (nothing is compiled) and runs
# scripts/qt-api-age.py on it with Debian's Python, which has the clang
# bindings (python3-clang-14) and reads Qt's documentation (qtbase5-doc-html);
# install-deps.sh installs both.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build}")

"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$build" >/dev/null
cd "$top"
/usr/bin/python3 scripts/qt-api-age.py "$build"
