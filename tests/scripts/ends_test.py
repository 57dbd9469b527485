"""How the scripts end: a script says "stopped" when, and only when, a failure stops it;
the run command takes the console's own end (its main window's result) for the end of
the run and tells a console that crashed or could not start.

The scripts run as they are, from a copy of the tree; the run command's build and
database steps are left out there, and `wine` stands in for Wine: it exits as the real
one does for the console (its exit code's low byte; 5 for an access violation).

    python3 tests/scripts/ends_test.py
"""
import os
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class Tree(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="qv-ends-test-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.tree = os.path.join(self.tmp, "tree")
        shutil.copytree(os.path.join(ROOT, "scripts"), os.path.join(self.tree, "scripts"))
        self.bin = os.path.join(self.tmp, "bin")
        os.mkdir(self.bin)

    def write(self, path, text, mode=0o755):
        with open(path, "w") as f:
            f.write(text)
        os.chmod(path, mode)
        return path

    def run_bash(self, script, **env_extra):
        env = dict(os.environ, PATH=self.bin + os.pathsep + os.environ["PATH"],
                   QV_CACHE=os.path.join(self.tmp, "cache"), **env_extra)
        env.pop("QV_BUILD", None)
        return subprocess.run(["bash", script], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                              text=True, timeout=120)


class StoppedLine(Tree):
    def script(self, body):
        return self.write(os.path.join(self.tmp, "step"),
                          'set -euo pipefail\nsource "%s/scripts/env.sh"\n%s\n' % (self.tree, body))

    def test_a_failure_the_script_goes_on_after_says_nothing(self):
        for body in [
            'x=$(false; echo on)\n[ "$x" = on ]',
            'f() { false; echo on; }\nx=$(f)',
            "set +e\nfalse\nset -e",
            "( false ) || true",
        ]:
            with self.subTest(body=body):
                result = self.run_bash(self.script(body))
                self.assertEqual((0, ""), (result.returncode, result.stderr))

    def test_a_script_that_stops_says_once_what_failed_and_what_to_do(self):
        for body, line in [
            ('QV_HINT="Do this"\nfalse\necho never',
             'step: stopped: "false" failed with status 1. Do this'),
            ('f() { local x; x=$(exit 3); }\nf',
             'step: stopped: "x=$(exit 3)" failed with status 3'),
            ("( cd /; exit 4 )", 'step: stopped: "( cd /; exit 4 )" failed with status 4'),
            # Stopped inside a subshell: the script that stops with it says so, once.
            ("( false; echo never )", 'step: stopped: "( false; echo never )" failed with status 1'),
        ]:
            with self.subTest(body=body):
                result = self.run_bash(self.script(body))
                self.assertNotEqual(0, result.returncode)
                self.assertEqual([line], result.stderr.splitlines())


class RunEnds(Tree):
    def setUp(self):
        super().setUp()
        scripts = os.path.join(self.tree, "scripts")
        self.write(os.path.join(scripts, "build"), "exit 0\n")
        self.write(os.path.join(scripts, "mkdb"), "")  # python3: prints no export lines
        os.mkdir(os.path.join(self.tree, "build"))
        self.write(os.path.join(self.bin, "wine"),
                   '#!/bin/sh\ncase "$1" in *QvService.exe) exec sleep 60 ;; esac\n'
                   '[ -n "$SAYS" ] && echo "$SAYS" >&2\nexit "$ENDS"\n')

        # Without a display the run starts Xvfb, which tells its display, and saves the
        # login window's picture.
        self.write(os.path.join(self.bin, "Xvfb"), '#!/bin/sh\necho 97 >&3\nexec sleep 60\n')
        self.write(os.path.join(self.bin, "xwininfo"), "#!/bin/sh\nexit 1\n")
        self.write(os.path.join(self.bin, "import"), "#!/bin/sh\nexit 0\n")

    def run_console(self, ends, says="", display=True):
        # With a display the console runs in the foreground; without, in the background.
        return self.run_bash(os.path.join(self.tree, "scripts", "run"), DISPLAY=":97" if display else "",
                             ENDS=str(ends), SAYS=says)

    def test_the_consoles_own_end_ends_the_run(self):
        for display in (True, False):
            for ends in (2, 1, 0):  # closed by the user, OK, the login left
                with self.subTest(status=ends, display=display):
                    result = self.run_console(ends, display=display)
                    self.assertEqual(0, result.returncode, result.stderr)
                    self.assertNotIn("stopped", result.stderr)
                    self.assertNotIn("crashed", result.stderr)

    def test_a_console_that_crashed_or_did_not_start_is_told(self):
        for display, ends, says in [
            (True, 5, "wine: Unhandled page fault on write access to 00000000 at address 004015B8"),
            (True, 53, 'wine: failed to open "Quorvane.exe": c0000135'),
            (False, 5, "wine: Unhandled page fault on write access to 00000000 at address 004015B8"),
        ]:
            with self.subTest(status=ends, display=display):
                result = self.run_console(ends, says, display)
                self.assertEqual(ends, result.returncode)
                self.assertIn(says, result.stderr)
                self.assertIn("run: the console crashed or could not start (status %d" % ends, result.stderr)
                self.assertNotIn("stopped", result.stderr)


class FromAnotherFolder(Tree):
    """A script given by a path relative to another folder than the checkout's starts
    its parts again by their full path: the test command goes on in a mount namespace of
    its own after it has moved to the checkout."""

    def test_the_test_command_runs_from_another_folder(self):
        scripts = os.path.join(self.tree, "scripts")
        self.write(os.path.join(scripts, "build"), "exit 0\n")
        elsewhere = os.path.join(self.tree, "build")
        os.mkdir(elsewhere)
        ran = os.path.join(self.tmp, "ctest-ran")
        self.write(os.path.join(self.bin, "unshare"),
                   '#!/bin/sh\nwhile [ "${1#-}" != "$1" ]; do [ "$1" = --propagation ] && shift; shift; done\n'
                   'exec "$@"\n')
        self.write(os.path.join(self.bin, "ctest"), '#!/bin/sh\necho "$@" > "%s"\n' % ran)
        for name in ("mount", "umount", "wine", "wineserver"):
            self.write(os.path.join(self.bin, name), "#!/bin/sh\nexit 0\n")
        env = dict(os.environ, PATH=self.bin + os.pathsep + os.environ["PATH"],
                   QV_CACHE=os.path.join(self.tmp, "cache"))
        for name in ("QV_BUILD", "QV_TEST_OWN_PREFIX"):
            env.pop(name, None)
        result = subprocess.run(["bash", "../scripts/test", "-R", "nothing"], cwd=elsewhere, env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)
        self.assertEqual(0, result.returncode, result.stderr)
        with open(ran) as f:
            self.assertIn("-R nothing", f.read())


if __name__ == "__main__":
    unittest.main()
