"""End-to-end checks of `tgw export`."""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

from tgw_cli import TGW, read, tgw as run_tgw  # noqa: E402


def tgw(*args, cwd=None):
    return run_tgw(*args, text=False, cwd=cwd)
GB16 = ["--font-kind", "gb2312-16", "--width", "16", "--height", "16"]


class Export(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def test_binary_file_with_index(self):
        r = tgw("export", *GB16, "--format", "bin", "--index", "-o", "lib.bin", "中文", cwd=self.dir)
        self.assertEqual(r.returncode, 0, r.stderr)
        data = read(os.path.join(self.dir, "lib.bin"))
        self.assertEqual(len(data), 4 + 20 + 64)
        self.assertEqual(struct.unpack(">I", data[:4]), (2,))
        index = [struct.unpack(">HHHI", data[4 + 10 * k:14 + 10 * k]) for k in range(2)]
        self.assertEqual(index, [(0xD6D0, 16, 16, 0), (0xCEC4, 16, 16, 32)])
        bare = tgw("export", *GB16, "--format", "bin", "中文").stdout
        self.assertEqual(bare, data[24:])
        self.assertNotEqual(bare, bytes(64))  # the built-in font drew something

    def test_code_text_holds_the_binary_bytes(self):
        settings = GB16 + ["--dot-order", "3", "--byte-order", "6"]
        data = tgw("export", *settings, "--format", "bin", "中文").stdout
        c = tgw("export", *settings, "中文").stdout.decode("cp936")
        self.assertTrue(c.startswith("/* GB2312 16x16点阵字库*/\r\n/* 中[0xD6D0]   16x16 */\r\n"))
        self.assertNotIn("\n", c.replace("\r\n", ""))
        self.assertEqual(bytes(int(v, 16) for v in re.findall(r"0x([0-9A-F]{2}),", c)), data)
        asm = tgw("export", *settings, "--language", "asm", "--unicode", "--head", "; %MATRIXCODE_HEAD_FONT%\\r\\n",
                  "中文", "-o", "-").stdout.decode("cp936")
        self.assertTrue(asm.startswith("; GB2312 16x16点阵字库\r\n; 中[04E2DH]   16x16 \r\nDB "))
        self.assertEqual(bytes(int(v, 16) for v in re.findall(r"\b0([0-9A-F]{2})H", asm)), data)

    def test_utf8_text_is_the_default_text_in_utf8_with_lf(self):
        # Characters, a string (its face name in the header) and the tail, as C, assembler and
        # header text; the default stays code page 936 with CR LF, the data bytes the same.
        sets = [GB16 + ["中文"],
                ["--face", "DejaVu Sans", "--size", "12", "--string", "日本 */ x", "--tail", "/* 尾 */\\r\\n"],
                GB16 + ["--language", "asm", "--unicode", "中"],
                GB16 + ["--name", "font16", "中文"]]
        for args in sets:
            default = tgw("export", *args).stdout
            utf8 = tgw("export", *args, "--encoding", "utf-8").stdout
            self.assertIn(b"\r\n", default)
            self.assertNotIn(b"\r", utf8)
            self.assertEqual(utf8.decode("utf-8"), default.decode("cp936").replace("\r\n", "\n"))
            self.assertEqual(tgw("export", *args, "--encoding", "cp936").stdout, default)
        # The profile's choice, as the window writes it.
        with open(os.path.join(self.dir, "p.ini"), "w") as f:
            f.write("[Tessaglyphworks]\nCODEENCODING=1\n")
        r = tgw("export", "--settings", os.path.join(self.dir, "p.ini"), *GB16, "中")
        self.assertEqual(r.stdout.decode("utf-8"), tgw("export", *GB16, "中").stdout.decode("cp936").replace("\r\n", "\n"))
        # tgw build writes the same text.
        built = tgw("build", *GB16, "--set", "custom", "--text", "中文", "--format", "c", "--encoding", "utf-8",
                    "-o", "lib.c", "-q", cwd=self.dir)
        self.assertEqual(built.returncode, 0, built.stderr)
        self.assertEqual(read(os.path.join(self.dir, "lib.c")).decode("utf-8"),
                         tgw("export", *GB16, "中文").stdout.decode("cp936").replace("\r\n", "\n"))
        self.assertNotEqual(tgw("export", *GB16, "--encoding", "latin1", "中").returncode, 0)
        self.assertEqual(tgw("export", *GB16, "--format", "bin", "--encoding", "utf-8", "中").returncode, 2)

    def test_assembler_text_with_the_default_header_assembles(self):
        settings = GB16 + ["--dot-order", "1", "--byte-order", "3"]
        data = tgw("export", *settings, "--format", "bin", "中文").stdout
        asm = tgw("export", *settings, "--language", "asm", "中文").stdout
        self.assertTrue(asm.decode("cp936").startswith("; GB2312 16x16点阵字库\r\n; 中[0D6D0H]"))
        with open(os.path.join(self.dir, "m.asm"), "wb") as f:
            f.write(asm)
        subprocess.run(["nasm", "-f", "bin", "-o", "m.out", "m.asm"], cwd=self.dir, check=True)
        self.assertEqual(read(os.path.join(self.dir, "m.out")), data)
        # A header the user wrote is theirs, even a C comment in assembler text; C keeps the default.
        mine = tgw("export", *settings, "--language", "asm", "--head", "/* mine */\\r\\n", "中").stdout
        self.assertTrue(mine.startswith(b"/* mine */\r\n; "))
        self.assertTrue(tgw("export", *settings, "中").stdout.startswith(b"/* GB2312 16x16"))

    def test_failures_leave_files_alone(self):
        target = os.path.join(self.dir, "out.c")
        with open(target, "wb") as f:
            f.write(b"keep me")
        for output in (os.path.join(self.dir, "no", "out.c"), self.dir):
            r = tgw("export", *GB16, "中", "-o", output)
            self.assertEqual((r.returncode, len(r.stderr.splitlines())), (1, 1))
        self.assertEqual(tgw("export", "--format", "hex", "A", "-o", target).returncode, 2)
        self.assertEqual(tgw("export", "--format", "c", "--index", "A", "-o", target).returncode, 2)
        self.assertEqual(read(target), b"keep me")
        self.assertEqual(os.listdir(self.dir), ["out.c"])


if __name__ == "__main__":
    unittest.main()
