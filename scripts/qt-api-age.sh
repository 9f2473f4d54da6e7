#!/usr/bin/env bash
# The Qt API age check over everything that ships: any use of Qt API newer
# than the head unit's Qt 5.3 is listed as "file:line: Class::member (Qt 5.N)"
# and fails the run.
#
#   scripts/qt-api-age.sh [PRESET]      default: native (build/)
#
# Configures the preset's build (nothing is compiled) and runs
# scripts/qt-api-age.py on it with Debian's Python, which has the clang
# bindings (python3-clang-14) and reads Qt's documentation (qtbase5-doc-html);
# install-deps.sh installs both.
set -euo pipefail
log_tag=qt-api-age
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"
preset=${1:-native}

install_packages
cd "$repo"
cmake --preset "$preset" >/dev/null
/usr/bin/python3 scripts/qt-api-age.py "$(preset_dir "$preset")"
