"""The crash check beside another run of the suite: processes of another run that look
like this run's own (its stand-in, its Unix helper, its test program) neither fail the
check nor are ended by it.

    python3 crash-check-beside.py WINE PROGRAM
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    program = sys.argv[-1]
    # Another run's processes, named as that run names them.
    others = [subprocess.Popen(["bash", "-c", 'exec -a "$0" sleep 300', name], stdin=subprocess.DEVNULL)
              for name in ("qv-crash-service", "/bin/sh -c sleep 600; : qv-crash-helper", program)]
    try:
        check = subprocess.run([sys.executable, os.path.join(HERE, "crash-check.py")] + sys.argv[1:],
                               stdin=subprocess.DEVNULL)
        ended = [p.args[-1] for p in others if p.poll() is not None]
    finally:
        for p in others:
            p.kill()
            p.wait()
    if ended:
        print("crash-check-beside: the check ended another run's processes: %s" % ", ".join(ended), file=sys.stderr)
        return 1
    return check.returncode


if __name__ == "__main__":
    sys.exit(main())
