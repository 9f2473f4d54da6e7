#!/usr/bin/env bash
# Line and branch coverage of the code that ships in the plugin (plugin/,
# upgrade/, widgets/, common/) with clang's source-based coverage.
#
#   scripts/coverage.sh       the preset coverage, in build-coverage/
#
# Builds the preset, runs the CTest suite with every process writing its own
# profile, then each fuzz target once over its seed corpus, and prints the
# covered and total lines and branches of the suite alone and of the suite
# with the corpora. build-coverage/coverage/ keeps the profiles, the merged
# profiles and the reports per file. Fails when the build, a test or a
# corpus's replay fails, never on a figure.
set -euo pipefail
log_tag=coverage
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"

build=$(preset_dir coverage)
out=$build/coverage
shipped=("$repo/plugin" "$repo/upgrade" "$repo/widgets" "$repo/common")

# clang, its profile runtime, and llvm-profdata and llvm-cov.
install_packages clang libclang-rt-14-dev llvm
configure_and_build coverage

# The programs whose code holds the plugin's counters: the plugin file, the
# test programs that link its objects and the fuzz targets.
binaries=("$build/libupdatetheme.so")
for program in "$build"/tests/tst_* "$build"/tests/fuzz/fuzz_*; do
    [ -f "$program" ] && [ -x "$program" ] && binaries+=(-object "$program")
done

# Merges the profiles of the folders given into NAME.profdata, writes the
# report per file to NAME.txt and prints one line: what of the shipped code
# ran, as covered/total and percent of lines and of branches.
summarise() {
    local name=$1 what=$2
    shift 2
    local profiles=()
    for folder in "$@"; do profiles+=("$folder"/*.profraw); done
    llvm-profdata merge -sparse -o "$out/$name.profdata" "${profiles[@]}"
    llvm-cov report -instr-profile="$out/$name.profdata" "${binaries[@]}" "${shipped[@]}" \
        >"$out/$name.txt" 2>/dev/null
    llvm-cov export -summary-only -instr-profile="$out/$name.profdata" "${binaries[@]}" "${shipped[@]}" \
        2>/dev/null | python3 -c '
import json, sys
totals = json.load(sys.stdin)["data"][0]["totals"]
print(", ".join("{} {:,}/{:,} ({:.1f} %)".format(kind, totals[kind]["covered"], totals[kind]["count"],
                                                 totals[kind]["percent"]) for kind in ("lines", "branches")))
' | { read -r figures; log "$what: $figures"; }
}

rm -rf "$out"
mkdir -p "$out/suite"
(cd "$repo" && LLVM_PROFILE_FILE="$out/suite/%p-%m.profraw" ctest --preset coverage -j "$jobs")
summarise suite "the test suite" "$out/suite"

mkdir -p "$out/corpora"
for name in "${fuzz_targets[@]}"; do
    LLVM_PROFILE_FILE="$out/corpora/%p-%m.profraw" \
        run_fuzz_target "$build" "$name" "$out/fuzz_$name.log" -runs=0 "$repo/tests/fuzz/corpus/$name" ||
        die "fuzz_$name failed on its seed corpus"
done
summarise corpora "the test suite and the fuzz corpora" "$out/suite" "$out/corpora"
log "per file: $out/suite.txt, $out/corpora.txt"
