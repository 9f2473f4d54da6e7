# shellcheck shell=bash disable=SC2154
# What every build and CI script shares, sourced by them: log lines, timed
# stages, the repository's folders and the Debian packages they need. Each
# script sets log_tag to name itself in its lines.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Parallel build and test jobs.
jobs=${UPDATETHEME_JOBS:-$(nproc)}

log() { printf '[%s] %s\n' "$log_tag" "$*"; }
die() { printf '[%s] error: %s\n' "$log_tag" "$*" >&2; exit 1; }

# Runs one stage and prints how long it took.
stage() {
    local name=$1 started=$SECONDS
    shift
    log "=== $name"
    "$@"
    log "=== $name: $((SECONDS - started)) s"
}

# Installs what the build needs and the Debian packages named, when missing.
# shellcheck disable=SC2120 # the packages named, if any, besides the build's
install_packages() {
    bash "$repo/scripts/install-deps.sh" "$@"
}

# The build folder of a preset of CMakePresets.json: build/ for native,
# build-<preset>/ for the others.
preset_dir() {
    if [ "$1" = native ]; then echo "$repo/build"; else echo "$repo/build-$1"; fi
}

# Configures and builds a preset, passing the arguments on to the configure.
configure_and_build() {
    local preset=$1
    shift
    (cd "$repo" && cmake --preset "$preset" "$@" && cmake --build --preset "$preset" -j "$jobs")
}

# The fuzz targets of tests/fuzz, one per seed corpus tests/fuzz/corpus/NAME.
# shellcheck disable=SC2034 # read by the scripts that source this file
fuzz_targets=(host medium logo)

# Runs the fuzz target NAME of the build folder BUILD with the arguments
# given, its output into LOG; when it fails, prints the output's end and
# returns its status.
run_fuzz_target() {
    local build=$1 name=$2 output=$3 status=0
    shift 3
    "$build/tests/fuzz/fuzz_$name" "$@" >"$output" 2>&1 || status=$?
    [ "$status" -eq 0 ] || tail -n 40 "$output" >&2
    return "$status"
}
