#!/usr/bin/env bash
# Runs one test program (the rest of the command line) and passes only when it exits 0
# and printed the line that its main prints after a clean tear-down. GoogleTest's summary
# alone is no proof: a crash in tear-down comes after it, and Wine may still exit with 0.
# QV_TEST_PID names the test program's process (wine execs it in place): the Unix helpers
# it starts (support/tied.py) end with it.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
(export QV_TEST_PID=$BASHPID; exec "$@") 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  echo "run-suite: exit status $status" >&2
  exit 1
fi
if ! grep -q '^\[ SUITE OK \]' "$out"; then
  echo "run-suite: no clean end after the summary" >&2
  exit 1
fi
