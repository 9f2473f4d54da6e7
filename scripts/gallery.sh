#!/usr/bin/env bash
# Regenerates the screenshots of docs/gallery/ that the README shows: the
# demo tour (scripts/demo.sh), the screens only other scenarios reach, and
# a few screens in Chinese and German.
#
#   scripts/gallery.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
gallery="$top/docs/gallery"
scenarios="$top/tools/updatetheme-sim/scenarios"
simulator="$top/build/tools/updatetheme-sim/updatetheme-sim"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$top/scripts/demo.sh" "$work/en"

# shoot SCENARIO FOLDER [OPTION...]: the scenario's screenshots into the work area's FOLDER.
shoot() {
    local scenario=$1 folder=$2
    shift 2
    "$simulator" --scenario "$scenarios/$scenario.json" --screenshots "$work/$folder" --journal /dev/null "$@" \
        2>"$work/log.txt" || { cat "$work/log.txt" >&2; exit 1; }
}
shoot unusable-package unusable-package
shoot factory-import factory-import
shoot demo zh_CN --lang zh_CN
shoot demo de --lang de

rm -rf "$gallery"
mkdir -p "$gallery"
for shot in 01-dialog 02-system-confirmation 04-system-upgrade-reported 05-part-confirmation 06-mcu-ready \
    07-mcu-progress 08-mcu-finished; do
    cp "$work/en/$shot.png" "$gallery/${shot#??-}.png"
done
cp "$work/unusable-package/unusable-package.png" "$work/factory-import/factory-import.png" "$gallery/"
cp "$work/zh_CN/01-dialog.png" "$gallery/zh_CN-dialog.png"
cp "$work/zh_CN/07-mcu-progress.png" "$gallery/zh_CN-mcu-progress.png"
cp "$work/de/02-system-confirmation.png" "$gallery/de-system-confirmation.png"
ls "$gallery"
