#!/usr/bin/env bash
# Runs the run-log benchmark as the user's machine runs the console: under Xvfb, in the
# X11 Wine prefix (its own wineserver), so that the rich edit paints and the X11 driver's
# memory counts. Arguments: directory, benchmark executable, wine, then the benchmark's own
# ("huge": the huge failure reasons only).
set -euo pipefail
dir=$1 exe=$2 wine=${3:-wine}
source "$(dirname "$0")/../scripts/env.sh"
mkdir -p "$dir"
qv_on_xvfb $wine "$exe" "${@:4}"
