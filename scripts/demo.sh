#!/usr/bin/env bash
# The simulator's demo on a Debian 12 machine: installs what is missing,
# builds the plugin and the simulator if needed (in build/, as scripts/test.sh
# does), runs the demo scenario offscreen and leaves its screenshots and
# journal in a folder.
#
#   scripts/demo.sh [FOLDER]        default: out/demo
#
# FOLDER receives one PNG per screen of the tour, journal.jsonl (every call,
# signal and host request as JSON lines) and log.txt (the plugin's debug log).
set -euo pipefail
log_tag=demo
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"
out=$(realpath -m "${1:-$repo/out/demo}")
build=$(preset_dir native)

install_packages
if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$repo" && cmake --preset native)
fi
(cd "$repo" && cmake --build --preset native --target updatetheme-sim -j "$jobs")

mkdir -p "$out"
rm -f "$out"/*.png "$out/journal.jsonl" "$out/log.txt"
status=0
"$build/tools/updatetheme-sim/updatetheme-sim" --scenario "$repo/tools/updatetheme-sim/scenarios/demo.json" \
    --screenshots "$out" --journal "$out/journal.jsonl" 2>"$out/log.txt" || status=$?
grep '^scenario "' "$out/log.txt" || true
echo "Screenshots and journal: $out"
exit "$status"
