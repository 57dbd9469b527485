"""Checks that a test program that crashes fails its suite at once:

    python3 crash-check.py WINE PROGRAM

runs the program with its hidden crash flag through run-suite.sh, and passes when that
fails within 30 seconds, names the exception and its address, and leaves no process of
the program behind, nor of the helpers it started (a Unix program and a Windows one, as
tests start them) before the crash. The first program of a cold prefix starts Wine's
services, which keep its output open while other suites run: a stand-in here keeps it
open for longer than the crash may take to fail.

Other runs of the suite may run the same program beside this one: this check looks only
at the processes it started itself. It takes in every orphan of what it started (Wine's
processes and the Unix helpers leave their parents), so they are the processes below
it, and it ends only those, by their ids.
"""
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PR_SET_CHILD_SUBREAPER = 36


def fail(why):
    print("crash-check: %s" % why, file=sys.stderr)
    sys.exit(1)


def below_me():
    """pid -> command line of every live process below this one."""
    parents, lines = {}, {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                line = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            continue
        if fields[0] == "Z":
            continue
        parents[int(entry)] = int(fields[1])
        lines[int(entry)] = line
    me, found = os.getpid(), {}
    for pid in parents:
        p, seen = pid, 0
        while p in parents and p != me and seen < 64:
            p, seen = parents[p], seen + 1
        if p == me and pid != me:
            found[pid] = lines[pid]
    return found


def reap():
    """Collects the orphans taken in that have ended."""
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def main():
    command = sys.argv[1:]
    program = os.path.basename(command[-1])
    helper = re.compile(r"qv-crash-helper|tied\.py|" + re.escape(program))
    if ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        fail("cannot take in the orphans of the run (prctl: %s)" % os.strerror(ctypes.get_errno()))
    tmp = tempfile.mkdtemp(prefix="qv-crash-check-")
    standin_file = os.path.join(tmp, "standin")
    start = time.monotonic()
    inner = '(exec -a qv-crash-service sleep 100) & echo $! >"$QV_CRASH_STANDIN"; exec "$@"'
    try:
        run = subprocess.run(["timeout", "120", "bash", os.path.join(HERE, "run-suite.sh"), "bash", "-c", inner,
                              "qv-crash"] + command + ["--qv-crash"],
                             env=dict(os.environ, QV_CRASH_STANDIN=standin_file), stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        took = time.monotonic() - start
        try:
            with open(standin_file) as f:
                standin = int(f.read().strip())
        except (OSError, ValueError):
            standin = None
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    if standin in below_me():
        os.kill(standin, signal.SIGKILL)
    print(run.stdout, end="")
    sys.stdout.flush()

    left = {}
    deadline = time.monotonic() + 10
    while True:
        reap()
        left = {pid: line for pid, line in below_me().items() if helper.search(line)}
        if not left or time.monotonic() > deadline:
            break
        time.sleep(0.1)
    for pid in left:  # this check leaves nothing running either
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    reap()

    if run.returncode == 0:
        fail("the crash passed")
    if run.returncode == 124:
        fail("the crash hung until the timeout")
    if took > 30:
        fail("the crash took %d s to fail" % took)
    if not re.search(r"^\[ CRASH \] exception C0000005 at address ", run.stdout, re.M):
        fail("no exception and address in the output")
    if left:
        fail("processes of the program or of its helpers stayed behind: %s"
             % "; ".join("%d %s" % item for item in sorted(left.items())))
    print("crash-check: failed in %d s as it should" % took)


if __name__ == "__main__":
    main()
