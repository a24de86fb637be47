"""End-to-end checks of tgw against awkward files and scarce resources: devices and pipes given
as input, protected, linked and long-named output files, full disks and little memory."""
import os
import resource
import stat
import subprocess
import tempfile
import time
import unittest

from tgw_cli import TGW, read, tgw  # noqa: E402

A57 = ["--font-kind", "ascii5x7"]


class HostileFiles(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def assertFailsNaming(self, r, name):
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
        self.assertIn(name, r.stderr)

    def test_devices_and_pipes_are_refused_as_input(self):
        fifo = self.path("fifo")
        os.mkfifo(fifo)
        big = self.path("big.ini")
        with open(big, "w") as f:
            f.write("[Tessaglyphworks]\n" + ";" * (1 << 20))
        started = time.monotonic()
        # A FIFO without a writer would block; /dev/zero would be read for gigabytes.
        for args, name in ((["--settings", fifo], fifo), (["--settings", "/dev/zero"], "/dev/zero"),
                           (["--settings", big], big), (["--project", "/dev/zero"], "/dev/zero"),
                           (["--project", fifo], fifo), (["--text-file", fifo], fifo)):
            with self.subTest(args=args):
                self.assertFailsNaming(tgw("render", *A57, *args, "A"), name)
        self.assertLess(time.monotonic() - started, 20)

    def test_write_protected_output_needs_force(self):
        out = self.path("out.c")
        with open(out, "w") as f:
            f.write("old")
        os.chmod(out, 0o444)
        r = tgw("export", *A57, "A", "-o", out)
        self.assertFailsNaming(r, "write-protected")
        self.assertEqual(read(out), b"old")
        self.assertEqual(os.listdir(self.dir), ["out.c"])
        for command in (["export", *A57, "A"], ["project", *A57, "A"],
                        ["build", *A57, "--set", "custom", "--text", "A", "--format", "c"]):
            with self.subTest(command=command[0]):
                os.chmod(out, 0o444)
                r = tgw(*command, "--force", "-o", out)
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertNotEqual(read(out), b"old")
                self.assertEqual(stat.S_IMODE(os.stat(out).st_mode), 0o444)

    def test_linked_and_long_output_names(self):
        os.symlink("made/out.c", self.path("dangling.c"))
        os.mkdir(self.path("made"))
        r = tgw("export", *A57, "A", "-o", self.path("dangling.c"))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertTrue(os.path.islink(self.path("dangling.c")))
        self.assertIn(b"0x", read(self.path("made/out.c")))

        os.symlink(self.path("b.c"), self.path("a.c"))
        os.symlink(self.path("a.c"), self.path("b.c"))
        self.assertFailsNaming(tgw("export", *A57, "A", "-o", self.path("a.c")), "a.c")
        self.assertTrue(os.path.islink(self.path("a.c")))

        for length in (238, 255):
            name = self.path("n" * (length - 2) + ".c")
            r = tgw("export", *A57, "A", "-o", name)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn(b"0x", read(name))

    def test_a_full_standard_output_is_a_failure(self):
        with open("/dev/full", "w") as full:
            for command in (["fonts"], ["render", *A57, "A"], ["export", *A57, "A"]):
                with self.subTest(command=command[0]):
                    r = subprocess.run([TGW, *command], stdout=full, stderr=subprocess.PIPE,
                                       text=True)
                    self.assertEqual(r.returncode, 1, r.stderr)
                    self.assertIn("standard output", r.stderr)

    def test_every_command_that_prints_fails_with_a_message_on_a_full_standard_output(self):
        pcf = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fontfiles",
                           "hostile_family.pcf")
        commands = [["presets"], ["explain", "--preset", "ssd1306"], ["explain"],
                    ["fonts", "--file", pcf], ["project", *A57, "A", "-o", "-"],
                    ["build", *A57, "--set", "ascii", "--format", "bin", "-o", "-"],
                    ["--help"], ["export", "--help"], ["--version"]]
        with open("/dev/full", "w") as full:
            for command in commands:
                with self.subTest(command=command):
                    r = subprocess.run([TGW, *command], stdout=full, stderr=subprocess.PIPE,
                                       text=True)
                    self.assertEqual(r.returncode, 1, r.stderr)
                    self.assertIn("standard output", r.stderr)

    def test_running_out_of_memory_is_one_line_and_status_1(self):
        def limit(kib):
            return lambda: resource.setrlimit(resource.RLIMIT_AS, (kib << 10, kib << 10))
        # Under AddressSanitizer, with its reserved shadow memory, nothing starts at all.
        if tgw("render", *A57, "A", preexec_fn=limit(40000)).returncode != 0:
            self.skipTest("tgw does not start with a 40 MB address space here")
        # Twenty different runs (repeated ones are dropped as duplicates) of 2048x2048 dots
        # each: about twice the address space.
        strings = []
        for i in range(20):
            strings += ["--string", "W" * 200 + str(i)]
        r = tgw("render", "--face", "DejaVu Sans", "--width", "2048", "--height", "2048",
                *strings, preexec_fn=limit(40000))
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertEqual(r.stderr.strip().splitlines(), ["tgw: not enough memory"])


if __name__ == "__main__":
    unittest.main()
