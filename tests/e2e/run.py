"""Runs the end-to-end scenarios (tests/e2e/scenarios/*.py, each a function
`scenario(s)`) once without a window manager and once under openbox, each from a fresh
display, database, copy of the X11 prefix and console. A failing scenario saves a
screenshot under build/e2e/<wm>/<scenario>/ and says why. The last line is
"e2e: N passed, N failed"; a name that no scenario has counts as failed, and a run that
ran no scenario fails.

    python3 tests/e2e/run.py [--wm none|openbox|both] [--build DIR] [NAME...]

The run has its own network, mount and process namespaces (it starts itself again
inside them, as root): the console's fixed port 127.0.0.1:4667 is the run's own, so two
runs on one machine never reach each other's service; its copies of the prefix and its
/tmp (where Xvfb keeps its displays' locks and sockets) are seen by it alone; and
whatever it started ends with it, however it ends.
"""

import argparse
import importlib.util
import os
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qve2e  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def load_scenarios(names, folder=os.path.join(HERE, "scenarios")):
    """The scenarios of `folder` of the given names (all without names): a list of (name,
    module), and the names that none has."""
    found = []
    for file in sorted(os.listdir(folder)):
        if not file.endswith(".py") or file.startswith("_"):
            continue
        name = file[:-3]
        if names and name not in names:
            continue
        source = importlib.util.spec_from_file_location("scenario_" + name, os.path.join(folder, file))
        module = importlib.util.module_from_spec(source)
        source.loader.exec_module(module)
        found.append((name, module))
    return found, [n for n in names if n not in {name for name, _ in found}]


def isolate():
    """Starts this run again in namespaces of its own. Inside, bash is the first process:
    it takes in the orphans that Wine leaves (its processes detach from their parents)
    and, as it ends, the kernel ends every process of the namespace. The run comes before
    the machine's other work (builds beside it): the scenarios time what a user waits
    for, and a console starved by other programs says nothing of the console (nice
    goes on without it where it may not)."""
    inner = 'ip link set lo up || exit 1; python3 "$0" "$@"; exit $?'
    args = ["unshare", "--net", "--mount", "--pid", "--fork", "--mount-proc", "--propagation", "private",
            "--kill-child", "nice", "-n", "-10", "bash", "-c", inner, os.path.abspath(__file__)] + sys.argv[1:]
    env = dict(os.environ, QV_E2E_ISOLATED="1")
    try:
        return subprocess.call(args, env=env)
    except KeyboardInterrupt:
        return 130


# Paths a run uses besides the checkout and the build, which may lie under /tmp.
TMP_KEEPS = ("QV_WINE_X11", "QV_CACHE", "QV_DEPS", "HOME")


def own_tmp(keep):
    """Mounts a /tmp of the run's own (in its mount namespace): Xvfb takes a display
    whose lock names a process it cannot see (one of another run's namespace) for free,
    and takes its socket with it, so each run's displays must be its own. The paths of
    `keep` that lie under /tmp (a clone made with mktemp, its build) are bound back from
    the /tmp below, so that the run still reaches them."""
    paths = sorted({os.path.realpath(p) for p in keep if p and os.path.exists(p)})
    paths = [p for p in paths if p.startswith("/tmp/")]
    paths = [p for p in paths if not any(p.startswith(q + "/") for q in paths)]
    below = os.open("/tmp", os.O_PATH | os.O_DIRECTORY)  # reachable once covered
    try:
        subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=1777", "qve2etmp", "/tmp"], check=True)
        for path in paths:
            os.makedirs(path, exist_ok=True)
            source = "/proc/%d/fd/%d/%s" % (os.getpid(), below, os.path.relpath(path, "/tmp"))
            # As given: mount would resolve the source's link to "/tmp", the new one.
            subprocess.run(["mount", "--no-canonicalize", "--rbind", source, path], check=True)
    finally:
        os.close(below)


def main():
    if os.environ.get("QV_E2E_ISOLATED") != "1":
        probe = subprocess.run(["unshare", "--net", "--mount", "--pid", "--fork", "true"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if probe.returncode != 0:
            print("e2e: the run needs namespaces of its own (run it as root): %s" % probe.stderr.strip())
            print("e2e: 0 passed, 1 failed")
            return 1
        return isolate()
    ap = argparse.ArgumentParser()
    ap.add_argument("--wm", choices=("none", "openbox", "both"), default="both")
    ap.add_argument("--build", default=os.environ.get("QV_BUILD", os.path.join(qve2e.ROOT, "build")))
    ap.add_argument("names", nargs="*")
    args = ap.parse_args()
    modes = ("none", "openbox") if args.wm == "both" else (args.wm,)
    scenarios, unknown = load_scenarios(args.names)
    own_tmp([qve2e.ROOT, args.build] + [os.environ.get(v) for v in TMP_KEEPS])
    # The scenarios' copies of the prefix keep their changes here, in memory, seen by
    # this run alone.
    scratch = os.path.join(args.build, "e2e", "prefixes")
    os.makedirs(scratch, exist_ok=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "mode=0700", "qve2e", scratch], check=True)
    try:
        return run(args, modes, scenarios, scratch, unknown)
    finally:
        subprocess.run(["umount", "-l", scratch])


def run(args, modes, scenarios, scratch, unknown=()):
    passed = failed = 0
    count = 0
    for name in unknown:
        failed += 1
        print("e2e %s: FAILED\n    no such scenario in tests/e2e/scenarios" % name, flush=True)
    for wm in modes:
        start = time.monotonic()
        for name, module in scenarios:
            if wm not in getattr(module, "WMS", ("none", "openbox")):
                continue
            out = os.path.join(args.build, "e2e", wm, name)
            t0 = time.monotonic()
            session = None
            why = None
            count += 1
            prefix = None
            try:
                prefix = qve2e.Prefix(os.environ["QV_WINE_X11"], scratch, "%d-%s-%s" % (count, wm, name))
                session = qve2e.Session(name, wm, out, args.build, prefix)
                module.scenario(session)
            except qve2e.Failure as e:
                why = str(e)
            except Exception:  # a fault of the scenario itself counts as a failure too
                why = traceback.format_exc().strip()
            if why and session:
                try:
                    shot = session.screenshot("failure")
                    why += "\n    screenshot: " + os.path.relpath(shot, qve2e.ROOT)
                except Exception as e:  # the display may be gone
                    why += "\n    no screenshot: %s" % e
            if session:
                session.close()
            if prefix:
                prefix.release()
            took = time.monotonic() - t0
            if why:
                failed += 1
                print("e2e [%s] %s: FAILED (%.1f s)\n    %s" % (wm, name, took, why.replace("\n", "\n    ")),
                      flush=True)
            else:
                passed += 1
                print("e2e [%s] %s: ok (%.1f s)" % (wm, name, took), flush=True)
        print("e2e [%s] took %.0f s" % (wm, time.monotonic() - start), flush=True)
    if not count:
        print("e2e: no scenario ran", flush=True)
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed or not count else 0


if __name__ == "__main__":
    sys.exit(main())
