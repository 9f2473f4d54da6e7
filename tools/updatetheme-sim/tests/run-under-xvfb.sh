#!/usr/bin/env bash
# Runs a command on a private X server: starts Xvfb on a display it picks
# itself, runs the command with DISPLAY set to it, stops the server and
# passes on the command's exit status.
#
#   run-under-xvfb.sh COMMAND [ARGUMENT...]
set -euo pipefail

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$display_file"' EXIT

# Xvfb writes the display number once it accepts clients.
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb named no display within 10 s" >&2; exit 1; }

DISPLAY=":$(head -n 1 "$display_file")" "$@"
