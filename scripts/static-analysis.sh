#!/usr/bin/env bash
# Static analysis of the shipped code and a memcheck run of the plugin's test
# programs. Any finding or memcheck error fails the run.
#
#   scripts/static-analysis.sh [PRESET]      default: analysis (build-analysis/)
#
# The tools read any build of the project's presets with its tests: CI hands
# over the native tree it has built for the tests (native); the preset
# analysis adds debug information, so that memcheck names lines.
#
# 1. clang-tidy with the repository's .clang-tidy over contract/, plugin/,
#    upgrade/, widgets/, common/ and host/, using the build's compile_commands.json;
# 2. cppcheck (warning, style, performance, portability) over the same folders;
# 3. valgrind memcheck of the test programs that run the plugin's code, each
#    with a fresh sandbox as the test suite gives it; the fuzzer runs 4,000
#    steps instead of its 100,000.
#    Suppressions (scripts/valgrind.supp) cover system libraries only, and
#    Qt's regular-expression JIT is off (QT_ENABLE_REGEXP_JIT=0): memcheck
#    cannot follow generated code.
#
# Installs clang-tidy, cppcheck and valgrind when missing.
set -euo pipefail
log_tag=analysis
# shellcheck source=scripts/stages.sh
. "$(dirname "$0")/stages.sh"
preset=${1:-analysis}
build=$(preset_dir "$preset")
folders=(contract plugin upgrade widgets common host)
memcheck_programs=(tst_plugin tst_upgradedialog tst_factoryimport tst_customupdatewidget
                   tst_custommcuupdatewidget)

build_programs() {
    (cd "$repo" && cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" -j "$jobs" --target updatetheme "${memcheck_programs[@]}")
}

run_clang_tidy() {
    # One process per file, two at a time; any finding fails the stage.
    (cd "$repo" && find "${folders[@]}" -name '*.cpp' | sort |
        xargs -P "$jobs" -n 1 clang-tidy -p "$build" --quiet 2>/dev/null)
}

run_cppcheck() {
    (cd "$repo" && cppcheck --enable=warning,style,performance,portability --std=c++11 --library=qt \
        --inline-suppr --quiet --error-exitcode=1 -j "$jobs" --suppress=missingIncludeSystem \
        --template='{file}:{line}: {severity}: {message} [{id}]' \
        -I contract -I plugin -I upgrade -I widgets -I common -I host/comviews -I host/qvappframework -I host/extras "${folders[@]}")
}

memcheck_one() {
    local program=$1 sandbox
    sandbox=$(mktemp -d)
    if env QT_QPA_PLATFORM=offscreen QT_ENABLE_REGEXP_JIT=0 \
        UPDATETHEME_DEVICE_ROOT="$sandbox/root" UPDATETHEME_HOST_SETTINGS="$sandbox/settings.ini" \
        valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
        --suppressions="$repo/scripts/valgrind.supp" --num-callers=40 --log-file="$sandbox/memcheck.log" \
        "$build/tests/$program" -platform offscreen >"$sandbox/output.log" 2>&1; then
        echo "$program: $(grep -h 'ERROR SUMMARY' "$sandbox/memcheck.log" | sed 's/^==[0-9]*== //')"
        rm -rf "$sandbox"
    else
        echo "$program failed under memcheck:"
        cat "$sandbox/memcheck.log" "$sandbox/output.log"
        rm -rf "$sandbox"
        return 1
    fi
}

run_memcheck() {
    export -f memcheck_one
    export repo build
    printf '%s\n' "${memcheck_programs[@]}" | xargs -P "$jobs" -I{} bash -c 'memcheck_one {}'
}

stage "analysis tools" install_packages clang-tidy cppcheck valgrind
stage "build" build_programs
stage "clang-tidy" run_clang_tidy
stage "cppcheck" run_cppcheck
stage "memcheck" run_memcheck
