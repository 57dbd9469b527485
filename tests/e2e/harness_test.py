"""The end-to-end harness on a busy machine: a slow helper program is "not yet", a
program that exited is told as exited, and openbox gets its time or is told with its log.

    python3 tests/e2e/harness_test.py
"""

import os
import stat
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import qve2e  # noqa: E402


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
