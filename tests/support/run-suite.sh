#!/usr/bin/env bash
# Runs one test program (the rest of the command line) and passes only when it exits 0
# and printed the line that its main prints after a clean tear-down. GoogleTest's summary
# alone is no proof: a crash in tear-down comes after it, and Wine may still exit with 0.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  echo "run-suite: exit status $status" >&2
  exit 1
fi
if ! grep -q '^\[ SUITE OK \]' "$out"; then
  echo "run-suite: no clean end after the summary" >&2
  exit 1
fi
