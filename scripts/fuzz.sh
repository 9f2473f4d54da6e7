#!/usr/bin/env bash
# Builds the preset fuzz (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-fuzz/) and runs each fuzz target of
# tests/fuzz/ from a copy of its seed corpus for a fixed number of runs with a
# fixed seed, so that a run replays. A finding (a broken invariant, a crash,
# a sanitizer report, a leak) fails the script; its reproducer is kept in
# build-fuzz/findings/<target>/ and named.
set -euo pipefail
log_tag="fuzz"
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"

# Runs per target: about a minute each on two busy cores.
declare -A runs=([host]=2000 [medium]=800 [logo]=4500)

install_packages
configure_and_build fuzz
build=$(preset_dir fuzz)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$repo/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

for name in "${fuzz_targets[@]}"; do
    corpus=$build/fuzz-corpus/$name findings=$build/findings/$name output=$build/fuzz-$name.log
    rm -rf "$corpus" "$findings"
    mkdir -p "$findings" "$(dirname "$corpus")"
    cp -r "$repo/tests/fuzz/corpus/$name" "$corpus"
    started=$SECONDS
    run_fuzz_target "$build" "$name" "$output" -runs="${runs[$name]}" -seed=1 -dict="$repo/tests/fuzz/$name.dict" \
        -artifact_prefix="$findings/" "$corpus" ||
        die "fuzz_$name found a fault; reproducer: $(ls "$findings"/* 2>/dev/null || echo none)" \
            "(replay: $build/tests/fuzz/fuzz_$name <reproducer>)"
    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$output" | tail -n 1)
    log "fuzz_$name: ${runs[$name]} runs in $((SECONDS - started)) s," \
        "$(grep -o 'exec/s: [0-9]*' <<<"$done_line" | cut -d' ' -f2) execs/s," \
        "corpus $(grep -o 'corp: [0-9]*/[0-9a-zA-Z]*' <<<"$done_line" | cut -d' ' -f2)" \
        "(seeds: $(find "$repo/tests/fuzz/corpus/$name" -type f | wc -l) files," \
        "$(cat "$repo/tests/fuzz/corpus/$name"/* | wc -c) bytes)"
done
