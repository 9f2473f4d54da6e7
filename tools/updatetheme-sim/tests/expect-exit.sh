#!/usr/bin/env bash
# Runs a command and checks how it ends: with the given exit status and a
# line on standard error that matches the given extended regular expression.
#
#   expect-exit.sh STATUS PATTERN COMMAND [ARGUMENT...]
set -uo pipefail
expected=$1
pattern=$2
shift 2

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
"$@" >/dev/null 2>"$errors"
status=$?
cat "$errors" >&2

if [ "$status" -ne "$expected" ]; then
    echo "expected exit status $expected, got $status" >&2
    exit 1
fi
if ! grep -qE -- "$pattern" "$errors"; then
    echo "no line of standard error matches: $pattern" >&2
    exit 1
fi
