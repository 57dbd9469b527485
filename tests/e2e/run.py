"""Runs the end-to-end scenarios (tests/e2e/scenarios/*.py, each a function
`scenario(s)`) once without a window manager and once under openbox, each from a fresh
display, database and console. A failing scenario saves a screenshot under
build/e2e/<wm>/<scenario>/ and says why. The last line is "e2e: N passed, N failed".

    python3 tests/e2e/run.py [--wm none|openbox|both] [--build DIR] [NAME...]
"""

import argparse
import importlib.util
import os
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qve2e  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def load_scenarios(names):
    folder = os.path.join(HERE, "scenarios")
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
    return found


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wm", choices=("none", "openbox", "both"), default="both")
    ap.add_argument("--build", default=os.environ.get("QV_BUILD", os.path.join(qve2e.ROOT, "build")))
    ap.add_argument("names", nargs="*")
    args = ap.parse_args()
    modes = ("none", "openbox") if args.wm == "both" else (args.wm,)
    scenarios = load_scenarios(args.names)
    passed = failed = 0
    for wm in modes:
        start = time.monotonic()
        for name, module in scenarios:
            if wm not in getattr(module, "WMS", ("none", "openbox")):
                continue
            out = os.path.join(args.build, "e2e", wm, name)
            t0 = time.monotonic()
            session = None
            why = None
            try:
                session = qve2e.Session(name, wm, out, args.build)
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
            took = time.monotonic() - t0
            if why:
                failed += 1
                print("e2e [%s] %s: FAILED (%.1f s)\n    %s" % (wm, name, took, why.replace("\n", "\n    ")),
                      flush=True)
            else:
                passed += 1
                print("e2e [%s] %s: ok (%.1f s)" % (wm, name, took), flush=True)
        print("e2e [%s] took %.0f s" % (wm, time.monotonic() - start), flush=True)
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
