#!/usr/bin/env bash
# Checks that a test program that crashes fails its suite at once: runs the program (the
# rest of the command line) with its hidden crash flag through run-suite.sh, and passes
# when that fails within 30 seconds, names the exception and its address, and leaves no
# process of the program behind, nor of the helpers it started (a Unix program and a
# Windows one, as tests start them) before the crash. The first program of a cold prefix
# starts Wine's services, which keep its output open while other suites run: a stand-in
# here keeps it open for longer than the crash may take to fail.
set -u
here=$(dirname "$0")
program=${!#}
start=$SECONDS
out=$(timeout 120 bash "$here/run-suite.sh" bash -c '(exec -a qv-crash-service sleep 100) & exec "$@"' qv-crash \
  "$@" --qv-crash 2>&1)
status=$?
pkill -f -- "^qv-crash-service" 2>/dev/null
took=$((SECONDS - start))
echo "$out"
fail() { echo "crash-check: $*" >&2; exit 1; }
[ "$status" -ne 0 ] || fail "the crash passed"
[ "$status" -ne 124 ] || fail "the crash hung until the timeout"
[ "$took" -le 30 ] || fail "the crash took ${took} s to fail"
grep -q '^\[ CRASH \] exception C0000005 at address ' <<<"$out" || fail "no exception and address in the output"
# Wine shows a Windows program by its Unix path; this script's own line names it too.
left() { pgrep -f -- "^$program" >/dev/null || pgrep -f -- "qv-crash-helper" >/dev/null; }
for _ in $(seq 1 100); do left || break; sleep 0.1; done
if pgrep -f -- "^$program" >/dev/null; then fail "a process of the program stayed behind"; fi
if pgrep -f -- "qv-crash-helper" >/dev/null; then fail "a Unix helper of the program stayed behind"; fi
echo "crash-check: failed in ${took} s as it should"
