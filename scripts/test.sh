#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs the whole test suite.
#   scripts/test.sh              the preset native, in build/
#   scripts/test.sh --sanitize   the preset sanitizers (AddressSanitizer + UndefinedBehaviorSanitizer),
#                                in build-sanitizers/
set -euo pipefail
log_tag="test"
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"

preset=native
[ "${1:-}" != "--sanitize" ] || preset=sanitizers

install_packages
configure_and_build "$preset"
cd "$repo"
ctest --preset "$preset" -j "$jobs"
