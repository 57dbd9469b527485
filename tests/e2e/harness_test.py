"""The end-to-end harness on a busy machine: a slow helper program is "not yet", a
program that exited is told as exited, openbox gets its time or is told with its log, a
wait given no bound outlasts a slow machine, and a check that nothing happened comes
after a sign that the console took the input before it. A window that stays is told with
its place, size and place in the stacking order. A run that ran no scenario fails.

    python3 tests/e2e/harness_test.py
"""

import contextlib
import io
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import types
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qve2e  # noqa: E402
import run as e2e_run  # noqa: E402


def fake_program(folder, name, script):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write("#!/bin/sh\n" + script + "\n")
    os.chmod(path, os.stat(path).st_mode | stat.S_IEXEC)


class Waiting(unittest.TestCase):
    def test_a_slow_look_is_not_yet_and_a_gone_program_ends_the_wait_at_once(self):
        looks = []

        def slow_twice():
            looks.append(1)
            if len(looks) <= 2:
                qve2e._run(["sleep", "5"], os.environ, timeout=0.2)
            return "found"
        self.assertEqual("found", qve2e.wait_until(slow_twice, 5, "a window"))

        def always_slow():
            raise qve2e.Slow("xdotool search took more than 60 s")
        with self.assertRaisesRegex(qve2e.Failure, r"timed out after 0.3 s waiting for a window \(xdotool"):
            qve2e.wait_until(always_slow, 0.3, "a window")

        cases = [  # (the last look finds it, what the wait gives)
            (False, "waiting for a window: the console exited"),
            (True, "found"),
        ]
        for last_look, outcome in cases:
            with self.subTest(last_look=last_look):
                seen = []

                def cond():
                    seen.append(1)
                    return "found" if last_look and len(seen) > 1 else None
                start = time.monotonic()
                try:
                    got = qve2e.wait_until(cond, 60, "a window", gone=lambda: "the console exited")
                except qve2e.Failure as e:
                    got = str(e)
                self.assertEqual(outcome, got)
                self.assertLess(time.monotonic() - start, 10)

    def test_a_wait_given_no_bound_outlasts_a_slow_machine(self):
        ready = time.monotonic() + 12  # a window a busy machine shows late
        self.assertTrue(qve2e.wait_until(lambda: time.monotonic() >= ready, what="a window", interval=0.5))


class Settling(unittest.TestCase):
    """Session.settle on a console stood in for: the button's face, lit while the mouse
    is on it once the console has taken the move (after `lag` looks)."""

    NORMAL = (0x89, 0xB0, 0xD9)

    def console(self, lit_at_start, lag, shows=None):
        s = object.__new__(qve2e.Session)
        s.console = None
        state = types.SimpleNamespace(on=lit_at_start, taken=lit_at_start, looks=0, moves=[])
        button = (100, 200, 180, 224)

        def move(point):
            state.moves.append(point)
            state.on = button[0] <= point[0] - 10 < button[2] and button[1] <= point[1] - 20 < button[3]
            state.looks = 0

        def colour(window, point):
            state.looks += 1
            if state.looks > lag and not shows:  # a window shown instead disables this one
                state.taken = state.on
            return qve2e.HOVER if state.taken else self.NORMAL

        s.move, s.colour = move, colour
        s.windows = lambda title: ["a window"] if title == shows and state.looks > lag else []
        window = types.SimpleNamespace(title="main", to_screen=lambda p: (p[0] + 10, p[1] + 20))
        return s, window, button, state

    def test_the_sign_is_the_button_lighting_up_after_the_mouse_left_it(self):
        for lit_at_start in (False, True):  # the mouse stood on the button already
            with self.subTest(lit_at_start=lit_at_start):
                s, window, button, state = self.console(lit_at_start, lag=5)
                self.assertIsNone(s.settle(window, button))
                self.assertEqual(2, len(state.moves))
                self.assertTrue(state.on and state.taken)
                self.assertGreater(state.looks, 5)  # not the light it had before

    def test_a_window_that_must_not_come_ends_the_wait_at_once(self):
        s, window, button, _ = self.console(False, lag=3, shows="提示")
        start = time.monotonic()
        self.assertEqual("提示", s.settle(window, button, ("提示",)))
        self.assertLess(time.monotonic() - start, 10)


class WhereItStands(unittest.TestCase):
    MAIN = (0x400001, "完整性安全监测系统", (100, 50, 1000, 700))
    TRAY = (0x600001, "Wine System Tray", (0, 0, 40, 40))

    def test_a_window_that_stays_is_told_with_its_place_size_and_stacking(self):
        box = (0x400020, "关于...", (400, 260, 400, 280))
        for stack, said in [
            ([self.MAIN, box], "'关于...' (0x400020) stands at 400,260, size 400x280, 2 of 2 from the top of the "
             "console's windows, under '完整性安全监测系统' (0x400001) (top first: '完整性安全监测系统' (0x400001) "
             "at 100,50 1000x700; '关于...' (0x400020) at 400,260 400x280)"),
            ([box, self.TRAY, self.MAIN], "'关于...' (0x400020) stands at 400,260, size 400x280, 1 of 3 from the "
             "top of the console's windows (top first:"),
            ([self.TRAY, box], "2 of 2 from the top of the console's windows (top first:"),  # beside, not under
            ([self.MAIN], "stands at 400,260, size 400x280, not in the stacking order of the console's windows"),
        ]:
            with self.subTest(stack=[e[1] for e in stack]):
                self.assertIn(said, qve2e.place_text(box[0], box[1], box[2], stack))
        self.assertEqual("'关于...' (0x400020) is no longer shown",
                         qve2e.place_text(box[0], box[1], None, [self.MAIN]))

    def test_a_wait_for_a_close_that_times_out_says_where_the_window_stands(self):
        s = object.__new__(qve2e.Session)
        s.console = None
        s.wm = "openbox"
        outputs = {
            "search": "%d\n%d\n" % (0x400001, 0x400020),
            "xprop": "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x400020, 0x600001, 0x400001\n",
        }
        geometry = {0x400001: self.MAIN[2], 0x400020: (400, 260, 400, 280)}
        names = {0x400001: self.MAIN[1], 0x400020: "关于..."}

        def x(args, check=True, timeout=None):
            if args[:2] == ["xdotool", "getwindowname"]:
                return names[int(args[2])] + "\n"
            return outputs["xprop" if args[0] == "xprop" else "search"]
        s.x = x
        box = qve2e.Window(s, 0x400020, "关于...")
        real = qve2e.Window.geometry
        qve2e.Window.geometry = lambda w: geometry.get(w.xid)
        self.addCleanup(setattr, qve2e.Window, "geometry", real)
        with self.assertRaisesRegex(qve2e.Failure, r"timed out after 0.2 s waiting for window '关于...' to close; "
                                    r"'关于...' \(0x400020\) stands at 400,260, size 400x280, 2 of 2 from the top "
                                    r"of the console's windows, under '完整性安全监测系统'"):
            s.wait_gone(box, 0.2)


class Runs(unittest.TestCase):
    def run_with(self, names):
        folder = tempfile.mkdtemp()
        self.addCleanup(lambda: os.rmdir(folder))
        scenarios, unknown = e2e_run.load_scenarios(names, folder)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = e2e_run.run(types.SimpleNamespace(build=folder), ("none",), scenarios, folder, unknown)
        return status, out.getvalue()

    def test_a_run_that_ran_no_scenario_fails(self):
        for names, said in [
            ([], "e2e: no scenario ran"),
            (["no_such_scenario"], "e2e no_such_scenario: FAILED"),
        ]:
            with self.subTest(names=names):
                status, out = self.run_with(names)
                self.assertEqual(1, status, out)
                self.assertIn(said, out)
                self.assertTrue(out.rstrip().endswith("passed, %d failed" % len(names)), out)


def can_unshare():
    return subprocess.run(["unshare", "--mount", "--propagation", "private", "true"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


@unittest.skipUnless(can_unshare(), "needs a mount namespace of its own (root)")
class OwnTmp(unittest.TestCase):
    """A run's /tmp is its own wherever the checkout lies, a clone under /tmp among them:
    what it keeps stays reachable, the rest of the machine's /tmp (another run's display
    locks) is hidden, and what it leaves there is seen by nobody else."""

    def test_the_run_sees_only_what_it_keeps_of_the_machines_tmp(self):
        clone = tempfile.mkdtemp(prefix="qv-clone-", dir="/tmp")
        other = tempfile.mkdtemp(prefix="qv-other-run-", dir="/tmp")
        for folder in (clone, other):
            self.addCleanup(shutil.rmtree, folder, True)
        os.mkdir(os.path.join(clone, "build"))
        with open(os.path.join(other, ".X5-lock"), "w") as f:
            f.write("12345\n")
        left = os.path.join(clone, "build", "left-by-the-run")
        inner = ("import os, sys, run; run.own_tmp(sys.argv[1:3]); "
                 "open(sys.argv[3], 'w').close(); open('/tmp/qv-own-tmp-probe', 'w').close(); "
                 "print(sorted(os.listdir('/tmp')), os.path.isdir(sys.argv[2]))")
        result = subprocess.run(["unshare", "--mount", "--propagation", "private", sys.executable, "-c", inner,
                                 clone, os.path.join(clone, "build"), left],
                                cwd=os.path.dirname(os.path.abspath(__file__)), capture_output=True, text=True)
        self.assertEqual(0, result.returncode, result.stderr)
        self.assertEqual("%r True" % [os.path.basename(clone), "qv-own-tmp-probe"], result.stdout.strip())
        self.assertTrue(os.path.exists(left))  # the clone itself, not a copy
        self.assertFalse(os.path.exists("/tmp/qv-own-tmp-probe"))


class Openbox(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.environ["PATH"]

    def tearDown(self):
        os.environ["PATH"] = self.path
        self.dir.cleanup()

    def start(self, script):
        bin_dir = os.path.join(self.dir.name, "bin")
        os.makedirs(bin_dir, exist_ok=True)
        real = next(os.path.join(d, "openbox") for d in self.path.split(os.pathsep)
                    if os.access(os.path.join(d, "openbox"), os.X_OK))
        fake_program(bin_dir, "openbox", script.replace("OPENBOX", real))
        os.environ["PATH"] = bin_dir + os.pathsep + self.path
        return qve2e.Display("openbox", self.dir.name)

    def test_a_slow_start_is_waited_for(self):
        display = self.start('sleep 12; exec OPENBOX "$@"')
        display.stop()

    def test_an_openbox_that_ends_is_told_at_once_with_its_log(self):
        start = time.monotonic()
        with self.assertRaisesRegex(qve2e.Failure, r"(?s)openbox exited with status 3.*no theme here"):
            self.start("echo 'no theme here' >&2; exit 3")
        self.assertLess(time.monotonic() - start, 30)


if __name__ == "__main__":
    unittest.main()
