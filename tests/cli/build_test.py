"""End-to-end checks of `tgw build`."""
import os
import pty
import re
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

from tgw_cli import TGW, read, tgw as run_tgw  # noqa: E402


def tgw(*args, cwd=None):
    return run_tgw(*args, text=False, cwd=cwd)
GB16 = ["--font-kind", "gb2312-16", "--width", "16", "--height", "16"]
SUMMARY = re.compile(rb"^tgw: (\d+) glyphs, (\d+) bytes, \d+\.\d+ s\n$")


class Build(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def test_gb2312_binary_library_with_index(self):
        r = tgw("build", *GB16, "--set", "gb2312", "--format", "bin", "--index", "-o", "gb.bin",
                cwd=self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        # stderr is not a terminal: no progress bar, only the summary.
        m = SUMMARY.match(r.stderr)
        self.assertIsNotNone(m, r.stderr)
        data = read(self.path("gb.bin"))
        n = 8178
        self.assertEqual(len(data), 4 + 10 * n + 32 * n)
        self.assertEqual((int(m.group(1)), int(m.group(2))), (n, len(data)))
        self.assertEqual(struct.unpack(">I", data[:4]), (n,))
        index = [struct.unpack(">HHHI", data[4 + 10 * k:14 + 10 * k]) for k in range(n)]
        self.assertEqual(index[0], (0xA1A1, 16, 16, 0))
        self.assertEqual(index[-1], (0xF7FE, 16, 16, 32 * (n - 1)))
        codes = [code for code, _, _, _ in index]
        self.assertEqual(codes, [(0xA1 + k // 94) << 8 | (0xA1 + k % 94) for k in range(n)])
        self.assertEqual([offset for *_, offset in index], [32 * k for k in range(n)])
        # An entry's data is what `tgw export` writes for the same character.
        k = (0xB0 - 0xA1) * 94  # 啊, B0A1
        self.assertEqual(index[k][0], 0xB0A1)
        alone = tgw("export", *GB16, "--format", "bin", "啊").stdout
        start = 4 + 10 * n + index[k][3]
        self.assertEqual(data[start:start + 32], alone)
        self.assertNotEqual(alone, bytes(32))

    def test_custom_text_sorted_and_deduplicated_is_the_export_of_the_result(self):
        for fmt in ("c", "asm"):
            r = tgw("build", *GB16, "--set", "custom", "--text", "中B啊AAB", "--sort", "--dedupe",
                    "--format", fmt, "-q", "-o", "lib." + fmt, cwd=self.dir)
            self.assertEqual(r.returncode, 0, r.stderr)
            # Code page order: ASCII, then 啊 (B0A1) before 中 (D6D0).
            expected = tgw("export", *GB16, "--format", fmt, "AB啊中").stdout
            self.assertEqual(read(self.path("lib." + fmt)), expected)
        # To standard output, the same bytes.
        r = tgw("build", *GB16, "--set", "custom", "--text", "中B啊AAB", "--sort", "--dedupe",
                "--format", "asm", "-o", "-")
        self.assertEqual(r.stdout, read(self.path("lib.asm")))

        # --text-file reads as the text import does; blanks skipped on request.
        with open(self.path("chars.txt"), "wb") as f:
            f.write("A B\r\n".encode("cp936"))
        r = tgw("build", *GB16, "--set", "custom", "--text-file", "chars.txt", "--skip-blanks",
                "--format", "bin", "-o", "t.bin", cwd=self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(read(self.path("t.bin")), tgw("export", *GB16, "--format", "bin", "AB").stdout)

    def test_sorting_a_character_without_code_page_form(self):
        args = ["build", *GB16, "--set", "custom", "--text", "中À", "--sort", "--format", "c"]
        r = tgw(*args, "-o", "x.c", cwd=self.dir)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(len(r.stderr.splitlines()), 1)
        self.assertIn("U+00C0 (À)".encode(), r.stderr)
        self.assertIn(b"--unicode-order", r.stderr)
        self.assertEqual(os.listdir(self.dir), [])
        # Consent beforehand, or Unicode order from the start: U+00C0 before U+4E2D.
        for extra in (["--unicode-order"], ["--unicode"]):
            r = tgw(*args, *extra, "-o", "x.c", cwd=self.dir)
            self.assertEqual(r.returncode, 0, r.stderr)
            text = read(self.path("x.c"))
            self.assertLess(text.index(b"0x00C0" if extra == ["--unicode"] else b"UCS2:0x00C0"),
                            text.index(b"0x4E2D" if extra == ["--unicode"] else b"0xD6D0"))

    def test_usage_errors_write_nothing(self):
        for args in (["--set", "ascii", "--format", "c", "--index"],
                     ["--set", "ascii", "--format", "c", "--text", "A"],
                     ["--set", "custom", "--format", "c"],
                     ["--set", "custom", "--text", "A", "--text-file", "x", "--format", "c"],
                     ["--set", "latin", "--format", "c"],
                     ["--set", "ascii"]):
            r = tgw("build", *GB16, *args, "-o", "x", cwd=self.dir)
            self.assertEqual(r.returncode, 2, args)
        r = tgw("build", *GB16, "--set", "ascii", "--format", "c", "-o", self.path("no/x.c"))
        self.assertEqual((r.returncode, len(r.stderr.splitlines())), (1, 1))
        self.assertEqual(os.listdir(self.dir), [])

    def test_progress_bar_on_a_terminal_only(self):
        def run_on_terminal(*extra):
            master, slave = pty.openpty()
            p = subprocess.Popen([TGW, "build", *GB16, "--set", "gb2312", "--format", "c", *extra,
                                  "-o", self.path("gb.c")], stderr=slave, stdout=subprocess.DEVNULL)
            os.close(slave)
            out = b""
            while True:
                try:
                    chunk = os.read(master, 4096)
                except OSError:
                    break
                if not chunk:
                    break
                out += chunk
            p.wait()
            os.close(master)
            self.assertEqual(p.returncode, 0, out)
            return out

        shown = run_on_terminal()
        self.assertRegex(shown, rb"\r\[#*\.*\] \d+/8178")
        self.assertRegex(shown, rb"tgw: 8178 glyphs, \d+ bytes")
        quiet = run_on_terminal("--quiet")
        self.assertNotIn(b"[", quiet)
        self.assertRegex(quiet, rb"^tgw: 8178 glyphs, \d+ bytes, \d+\.\d+ s\r?\n$")

    def test_interrupt_removes_the_partial_file(self):
        # Ctrl-C, kill and a closed terminal all stop the build the same way.
        for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal=sig.name):
                with open(self.path("lib.c"), "wb") as f:
                    f.write(b"old")
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
                self.assertEqual(os.listdir(self.dir), ["lib.c"])
                self.assertEqual(read(self.path("lib.c")), b"old")

if __name__ == "__main__":
    unittest.main()
