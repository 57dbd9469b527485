#!/usr/bin/env bash
# Runs one test program (the rest of the command line) and passes only when it exits 0
# and printed the line that its main prints after a clean tear-down. GoogleTest's summary
# alone is no proof: a crash in tear-down comes after it, and Wine may still exit with 0.
# QV_TEST_PID names the test program's process (wine execs it in place): the Unix helpers
# it starts (support/tied.py) end with it.
# The program writes to a file, not to a pipe: the first program of a cold prefix starts
# Wine's services, which keep its descriptors for as long as the wineserver runs, so a
# reader of a pipe would wait for every other suite of the run to end.
out=$(mktemp)
program=
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; rm -f "$out"' EXIT
trap 'exit 143' TERM INT
(export QV_TEST_PID=$BASHPID; exec "$@") >"$out" 2>&1 </dev/null &
program=$!
tail -n +1 -s 0.1 --pid="$program" -f "$out"
wait "$program"
status=$?
program=
if [ "$status" -ne 0 ]; then
  echo "run-suite: exit status $status" >&2
  exit 1
fi
if ! grep -q '^\[ SUITE OK \]' "$out"; then
  echo "run-suite: no clean end after the summary" >&2
  exit 1
fi
