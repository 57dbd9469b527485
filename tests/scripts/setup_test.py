"""The set-up on a machine that cannot reach Debian's registry: every command that sets up
what is missing says what failed and what to do, never stops without a word.

The scripts run as they are, from a copy of the tree without the fetched sources, with
apt-get standing in for one that cannot reach the registry (status 100, nothing printed,
as a proxy that drops the connection leaves it with -q).
"""
import os
import shutil
import subprocess
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

STUBS = {
    # The machine has every package and the i386 architecture already.
    "dpkg": '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\nexit 0\n',
    "apt-get": "#!/bin/sh\nexit 100\n",
}


class SetupStopsWithAWord(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="qv-setup-test-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.tree = os.path.join(self.tmp, "tree")
        shutil.copytree(os.path.join(ROOT, "scripts"), os.path.join(self.tree, "scripts"))
        self.bin = os.path.join(self.tmp, "bin")
        os.mkdir(self.bin)
        for name, text in STUBS.items():
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(text)
            os.chmod(path, 0o755)

    def run_script(self, name, missing_package=False):
        env = dict(os.environ)
        env["PATH"] = self.bin + os.pathsep + env["PATH"]
        env["QV_CACHE"] = os.path.join(self.tmp, "cache")
        env.pop("QV_BUILD", None)
        if missing_package:
            with open(os.path.join(self.bin, "dpkg"), "w") as f:
                f.write('#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\n'
                        '[ "$1" = -s ] && [ "$2" = xdotool ] && exit 1\nexit 0\n')
        return subprocess.run(["bash", os.path.join(self.tree, "scripts", name)], env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)

    def assertToldWhatAndWhatToDo(self, result, what):
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(what, result.stderr)
        self.assertIn("registry", result.stderr)
        self.assertIn("run the command again", result.stderr)

    def test_each_step_that_needs_the_registry_says_so(self):
        for name, missing, what in [
            ("setup", False, "apt-get source tinyxml failed (status 100)"),
            ("setup", True, '"apt-get update -q" failed with status 100'),
        ]:
            with self.subTest(step=what):
                self.assertToldWhatAndWhatToDo(self.run_script(name, missing), what)

    def test_the_run_command_says_why_its_set_up_stopped(self):
        result = self.run_script("run")
        self.assertToldWhatAndWhatToDo(result, "apt-get source tinyxml failed")
        self.assertIn("run: stopped:", result.stderr)


if __name__ == "__main__":
    unittest.main()
