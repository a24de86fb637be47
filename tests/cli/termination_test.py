"""End-to-end checks that no command of tgw leaves its temporary output file behind when a
terminating signal ends it, and that the file it would have replaced stays as it was."""
import os
import resource
import signal
import subprocess
import tempfile
import time
import unittest

from tgw_cli import TGW, read

A816 = ["--font-kind", "ascii8x16", "--width", "8", "--height", "16"]


def file_size_limit(size):
    """For preexec_fn: the kernel sends SIGXFSZ to a write past `size` bytes, at a moment when
    the temporary file certainly exists; no core file is left either."""
    def limit():
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, resource.RLIM_INFINITY))
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    return limit


class Termination(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def old_file(self, name):
        with open(self.path(name), "wb") as f:
            f.write(b"old")

    def assertOnlyTheOldFile(self, name):
        self.assertEqual(os.listdir(self.dir), [name])
        self.assertEqual(read(self.path(name)), b"old")

    def test_export_and_project_killed_while_writing(self):
        text = "".join(chr(c) for c in range(0x21, 0x7F))
        for command, name in ((["export", *A816, text, "-o"], "out.c"),
                              (["export", *A816, "--format", "bin", text, "-o"], "out.bin"),
                              (["project", *A816, text, "-o"], "out.tgx")):
            with self.subTest(command=command[0], name=name):
                self.old_file(name)
                r = subprocess.run([TGW, *command, self.path(name)], capture_output=True,
                                   preexec_fn=file_size_limit(1000))
                # Ended by the signal itself, as if tgw had not caught it.
                self.assertEqual(r.returncode, -signal.SIGXFSZ, r.stderr)
                self.assertOnlyTheOldFile(name)
                os.unlink(self.path(name))

    def test_build_stops_on_every_terminating_signal(self):
        # SIGINT, SIGTERM and SIGHUP: see build_test.py.
        for sig in (signal.SIGPIPE, signal.SIGUSR1, signal.SIGUSR2, signal.SIGALRM,
                    signal.SIGQUIT, signal.SIGVTALRM, signal.SIGRTMIN):
            with self.subTest(signal=int(sig)):
                self.old_file("lib.c")
                # Every character of a CJK face in large cells takes long enough to be
                # interrupted.
                p = subprocess.Popen([TGW, "build", "--face", "WenQuanYi Micro Hei", "--width",
                                      "96", "--height", "96", "--set", "font", "--format", "c",
                                      "-j", "1", "-o", self.path("lib.c")], stderr=subprocess.PIPE)
                deadline = time.time() + 10
                while time.time() < deadline and len(os.listdir(self.dir)) < 2:
                    time.sleep(0.01)  # until the temporary file is there
                p.send_signal(sig)
                _, err = p.communicate(timeout=30)
                self.assertEqual(p.returncode, 1, err)
                self.assertIn(b"interrupted", err)
                self.assertOnlyTheOldFile("lib.c")


if __name__ == "__main__":
    unittest.main()
