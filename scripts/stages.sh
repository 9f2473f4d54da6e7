# shellcheck shell=bash disable=SC2154
# Log lines and timed stages of the build scripts, sourced by them; each sets
# log_tag to name itself in its lines.

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
