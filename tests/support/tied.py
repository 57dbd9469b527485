"""Runs a Unix program for a test program under Wine, tied to the test:

    python3 tied.py DIR PROGRAM [ARG...]

The program runs while DIR/run exists and the test program lives (run-suite.sh names its
process in QV_TEST_PID); then it is ended with every process it started. Whichever way
it ends, DIR/ended then holds its exit status. Wine gives the test no handle of a Unix
program and hands the program every descriptor of the test (the pipe that ctest reads
among them): here the program gets none of them, so nothing waits on the test's output
after the test.
"""
import os
import signal
import subprocess
import sys
import time


def started(pid):
    """The start time of process `pid`, None once it is gone (a new process of the same
    number has another)."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[19]
    except (OSError, IndexError):
        return None


def main():
    tie, program = sys.argv[1], sys.argv[2:]
    null = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(null, fd)
    os.closerange(3, os.sysconf("SC_OPEN_MAX"))
    test = int(os.environ.get("QV_TEST_PID", "0") or 0)
    test_started = started(test) if test else None
    run = os.path.join(tie, "run")
    status = 127
    child = None
    if not test or test_started:  # a test that has already ended gets nothing started
        try:
            child = subprocess.Popen(program, start_new_session=True)
        except OSError:
            pass
    while child and child.poll() is None:
        if not os.path.exists(run) or (test_started and started(test) != test_started):
            for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
                try:
                    os.killpg(child.pid, sig)
                    child.wait(wait)
                    break
                except subprocess.TimeoutExpired:
                    continue
                except ProcessLookupError:
                    break
            break
        time.sleep(0.1)
    if child:
        status = child.wait()
        try:
            os.killpg(child.pid, signal.SIGKILL)  # what it started and left
        except ProcessLookupError:
            pass
    try:
        with open(os.path.join(tie, "ended.tmp"), "w") as f:
            f.write(str(status))
        os.replace(os.path.join(tie, "ended.tmp"), os.path.join(tie, "ended"))
    except OSError:  # the test has removed its directory
        pass


if __name__ == "__main__":
    main()
