#!/usr/bin/env bash
# Runs the run-log benchmark as the user's machine runs the console: under Xvfb, in the
# X11 Wine prefix (its own wineserver), so that the rich edit paints and the X11 driver's
# memory counts. Arguments: directory, benchmark executable, wine.
set -euo pipefail
dir=$1 exe=$2 wine=${3:-wine}
source "$(dirname "$0")/../scripts/env.sh"
export WINEPREFIX=$QV_WINE_X11
mkdir -p "$dir"
display=:$((200 + RANDOM % 300))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
status=0
DISPLAY=$display $wine "$exe" || status=$?
exit $status
